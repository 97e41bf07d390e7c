#pragma once
// Reading a server's answer to an inventory: inflated as its Content-Type says, then its JSON.

#include <chrono>
#include <cstddef>
#include <optional>
#include <string>
#include <string_view>

#include "fleet/delivery.h"
#include "platform/http_client.h"
#include "platform/zlib_stream.h"

namespace velmora::fleet {

// The most bytes of an answer read, and the most it may inflate to.
constexpr std::size_t kAnswerLimit = 1024 * 1024;

// The compression a Content-Type names ("application/x-compress-zlib; charset=x" included);
// CompressionNone for any other, JSON and HTML alike.
platform::Compression CompressionOf(std::string_view contentType);

// The seconds a Retry-After value asks to wait: a number of seconds, or an HTTP date
// ("Sun, 06 Nov 1994 08:49:37 GMT") less `now`, never below 0. nullopt for anything else.
std::optional<long> RetryAfterSeconds(std::string_view value,
                                      std::chrono::system_clock::time_point now);

// `text` with its line breaks made spaces: a receipt's `why` is one line, whatever a server said.
std::string OneLine(std::string text);

// What an answer that came (failure HttpNone) means: accepted for a 2xx status with
// {"status": "ok"}; refused for another answer; unreached when its body cannot be read
// (corrupt, or inflating past kAnswerLimit). `why` is one line, with the server's message.
Receipt ReadAnswer(const platform::HttpAnswer& answer, std::chrono::system_clock::time_point now);

}  // namespace velmora::fleet
