#pragma once
// JSON values that can be destroyed while memory runs out.
//
// nlohmann's destructor moves the children of a filled object or array onto a stack on the
// heap before freeing them, so destroying one allocates. When that allocation fails the
// exception leaves a destructor, which ends the process; during unwinding it would end it even
// if destructors could throw. Taking a value apart from the leaves up leaves only empty
// containers, whose destruction allocates nothing.

#include <iterator>
#include <string_view>
#include <utility>

#include <nlohmann/json.hpp>

namespace harnel {
class DisposableJson;
}  // namespace harnel

// A DisposableJson is a json to nlohmann, not a foreign type: without this, giving one to a
// json by value or assigning one to it converts it element by element, and throws for an
// object, instead of moving it.
template <>
struct nlohmann::adl_serializer<harnel::DisposableJson> {};

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

// A json that empties itself (EmptyJson) before it is destroyed, on every path. A function
// that builds a value returns it as one, so that it stays disposable until its caller has
// stored it: `list.push_back(Build())`, or PutJson for an object's member. Every container
// starts as object() or array(), never as a null that operator[] or push_back turns into one:
// nlohmann marks the null as a container before it allocates one, so a failure there leaves a
// container without storage, which no one can empty or even ask whether it is empty.
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

// Moves `value` into the member `key` of the object `parent`. Not as `parent[key] =
// std::move(value)`: there the value is moved into operator='s plain json parameter first,
// which, should making the member then fail, is destroyed filled.
inline void PutJson(nlohmann::json& parent, std::string_view key, DisposableJson&& value) {
  nlohmann::json& member = parent[key];
  member = std::move(value);
}

}  // namespace harnel
