#pragma once
// Runs the shared call table through the C++ layer: each row names a function and gives its
// arguments in plain JSON form (bytes as hex, enumerations as variant numbers); each outcome is
// reported in the same form, so the Python bindings' outcomes can be compared with it.
#include <nlohmann/json.hpp>

#include <functional>
#include <map>
#include <optional>
#include <span>
#include <stdexcept>
#include <string>
#include <string_view>
#include <tuple>
#include <type_traits>
#include <vector>

#include "quorvantile_log.hpp"

namespace qv_bindings {

using nlohmann::json;

template <class P>
struct StorageOf {
  using type = std::remove_cvref_t<P>;
};
template <>
struct StorageOf<std::string_view> {
  using type = std::string;
};
template <class T>
struct StorageOf<std::span<const T>> {
  using type = std::vector<T>;
};
template <class T>
struct StorageOf<std::optional<T>> {
  using type = std::optional<typename StorageOf<T>::type>;
};

template <class T>
struct IsVector : std::false_type {};
template <class T>
struct IsVector<std::vector<T>> : std::true_type {};
template <class T>
struct IsOptional : std::false_type {};
template <class T>
struct IsOptional<std::optional<T>> : std::true_type {};

inline std::vector<uint8_t> from_hex(const std::string& hex) {
  if (hex.size() % 2 != 0) throw std::runtime_error("odd hex length");
  std::vector<uint8_t> out;
  for (std::size_t i = 0; i < hex.size(); i += 2) out.push_back(static_cast<uint8_t>(std::stoul(hex.substr(i, 2), nullptr, 16)));
  return out;
}

inline std::string to_hex(std::span<const uint8_t> bytes) {
  static const char* digits = "0123456789abcdef";
  std::string out;
  for (uint8_t b : bytes) {
    out += digits[b >> 4];
    out += digits[b & 15];
  }
  return out;
}

template <class T>
T from_plain(const json& j) {
  if constexpr (std::is_same_v<T, std::vector<uint8_t>>) {
    return from_hex(j.get<std::string>());
  } else if constexpr (IsVector<T>::value) {
    T out;
    for (const auto& item : j) out.push_back(from_plain<typename T::value_type>(item));
    return out;
  } else if constexpr (IsOptional<T>::value) {
    if (j.is_null()) return std::nullopt;
    return from_plain<typename T::value_type>(j);
  } else if constexpr (std::is_enum_v<T>) {
    return static_cast<T>(j.get<int32_t>());
  } else {
    return j.get<T>();
  }
}

template <class T>
json to_plain(const T& v) {
  if constexpr (std::is_same_v<T, std::vector<uint8_t>>) {
    return to_hex(v);
  } else if constexpr (IsVector<T>::value) {
    json out = json::array();
    for (const auto& item : v) out.push_back(to_plain(item));
    return out;
  } else if constexpr (IsOptional<T>::value) {
    return v ? to_plain(*v) : json(nullptr);
  } else if constexpr (std::is_enum_v<T>) {
    return static_cast<int32_t>(v);
  } else if constexpr (std::is_arithmetic_v<T> || std::is_same_v<T, std::string>) {
    return v;
  } else {
    json out = json::object();
    quorvantile_log::visit_fields(v, [&](const char* name, const auto& field) { out[name] = to_plain(field); });
    return out;
  }
}

inline json outcome(const quorvantile_log::Error& e) {
  return {{"outcome", e.is(quorvantile_log::VerifyError::Verification) ? "verification" : "internal"},
          {"kind", std::string(quorvantile_log::kind_name(e.kind))},
          {"message", e.message}};
}

template <class R, class... P, std::size_t... I>
json invoke(quorvantile_log::Result<R> (*fn)(P...), const json& args, std::index_sequence<I...>) {
  if (args.size() != sizeof...(P)) throw std::runtime_error("wrong argument count");
  std::tuple<typename StorageOf<P>::type...> stored{from_plain<typename StorageOf<P>::type>(args[I])...};
  auto result = fn(std::get<I>(stored)...);
  if (!result) return outcome(result.error());
  if constexpr (std::is_void_v<R>) {
    return {{"outcome", "ok"}, {"value", nullptr}};
  } else {
    return {{"outcome", "ok"}, {"value", to_plain(*result)}};
  }
}

template <class R, class... P>
std::function<json(const json&)> caller(quorvantile_log::Result<R> (*fn)(P...)) {
  return [fn](const json& args) { return invoke(fn, args, std::index_sequence_for<P...>{}); };
}

// Every function of the C++ layer, by name.
inline const std::map<std::string, std::function<json(const json&)>>& functions() {
#define QV_CALLER(name) {#name, caller(&quorvantile_log::name)},
  static const std::map<std::string, std::function<json(const json&)>> table = {QUORVANTILE_LOG_FUNCTIONS(QV_CALLER)};
#undef QV_CALLER
  return table;
}

// The outcome of one row: {"outcome": "ok", "value": ...} or {"outcome": variant, "kind": kind,
// "message": ...}.
inline json run(const json& row) {
  const auto& fns = functions();
  const auto it = fns.find(row["function"].get<std::string>());
  if (it == fns.end()) return {{"outcome", "missing"}};
  return it->second(row["args"]);
}

}  // namespace qv_bindings
