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
template <class Json>
class BasicDisposableJson;
}  // namespace harnel

// A disposable json is a json to nlohmann, not a foreign type: without this, giving one to a
// json by value or assigning one to it converts it element by element, and throws for an
// object, instead of moving it.
template <class Json>
struct nlohmann::adl_serializer<harnel::BasicDisposableJson<Json>> {};

namespace harnel {

// Empties `value` without allocating. Each step walks down from `value` to a last child with
// nothing under it, so the cost grows with the depth: meant for the shallow values of records
// and profiles.
template <class Json>
void EmptyJson(Json& value) noexcept {
  const auto filled = [](const Json& v) { return v.is_structured() && !v.empty(); };
  while (filled(value)) {
    Json* parent = &value;
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
template <class Json>
class BasicDisposableJson : public Json {
 public:
  BasicDisposableJson() = default;
  BasicDisposableJson(Json&& value) noexcept : Json(std::move(value)) {}
  BasicDisposableJson(BasicDisposableJson&&) noexcept = default;
  BasicDisposableJson& operator=(Json&& value) noexcept {
    EmptyJson<Json>(*this);
    Json::operator=(std::move(value));
    return *this;
  }
  BasicDisposableJson& operator=(BasicDisposableJson&& other) noexcept {
    return *this = static_cast<Json&&>(other);
  }
  ~BasicDisposableJson() { EmptyJson<Json>(*this); }
};
using DisposableJson = BasicDisposableJson<nlohmann::json>;
// The same for a json that keeps its objects' members in the order they were given.
using DisposableOrderedJson = BasicDisposableJson<nlohmann::ordered_json>;

// Moves `value` into the member `key` of the object `parent`. Not as `parent[key] =
// std::move(value)`: there the value is moved into operator='s plain json parameter first,
// which, should making the member then fail, is destroyed filled.
inline void PutJson(nlohmann::json& parent, std::string_view key, DisposableJson&& value) {
  nlohmann::json& member = parent[key];
  member = std::move(value);
}

}  // namespace harnel
