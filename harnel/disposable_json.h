#pragma once
// JSON values that can be destroyed while memory runs out.
//
// nlohmann's destructor moves the children of a filled object or array onto a stack on the
// heap before freeing them, so destroying one allocates. When that allocation fails the
// exception leaves a destructor, which ends the process; during unwinding it would end it even
// if destructors could throw. Taking a value apart from the leaves up leaves only empty
// containers, whose destruction allocates nothing.

#include <iterator>
#include <utility>

#include <nlohmann/json.hpp>

namespace harnel {

// Empties `value` without allocating. Each step walks down from `value` to a last child with
// nothing under it, so the cost grows with the depth: meant for the shallow values of records
// and profiles.
inline void EmptyJson(nlohmann::json& value) noexcept {
  const auto filled = [](const nlohmann::json& v) { return v.is_structured() && !v.empty(); };
  while (filled(value)) {
    nlohmann::json* parent = &value;
    while (filled(parent->back())) parent = &parent->back();
    parent->erase(std::prev(parent->end()));
  }
}

// A json that empties itself (EmptyJson) before it is destroyed, on every path. Pass it on by
// reference (json& or json&&): nlohmann takes a class derived from json, given by value, for a
// foreign type to convert element by element.
class DisposableJson : public nlohmann::json {
 public:
  DisposableJson() = default;
  DisposableJson(nlohmann::json&& value) noexcept : nlohmann::json(std::move(value)) {}
  DisposableJson(DisposableJson&&) noexcept = default;
  DisposableJson& operator=(nlohmann::json&& value) noexcept {
    EmptyJson(*this);
    nlohmann::json::operator=(std::move(value));
    return *this;
  }
  DisposableJson& operator=(DisposableJson&& other) noexcept {
    return *this = static_cast<nlohmann::json&&>(other);
  }
  ~DisposableJson() { EmptyJson(*this); }
};

}  // namespace harnel
