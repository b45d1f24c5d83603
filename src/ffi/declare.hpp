#pragma once
// The one declaration of an export. QV_EXPORT_IN(ns, NS, name, NAME, Result, work, doc, (arg, Type, arg_doc)...)
// defines, in the interface namespace `ns` (NS in upper case) and from a single list of arguments:
//   - the exported C function uniffi_<ns>_fn_func_<name>, which lifts the arguments in order,
//     calls `work` once and lowers its result or error;
//   - the description record UNIFFI_META_<NS>_FUNC_<NAME> (its symbol size is its length) with the
//     same argument names the lifting messages use, the namespace's module path and error, and
//     the documentation: `doc`, then each argument's `arg_doc` (what it means, its length where
//     fixed);
//   - the checksum function uniffi_<ns>_checksum_func_<name> computed from that record.
// QV_EXPORT(name, NAME, ...) is the same in the namespace quorvantile_log.
// `work` takes the lifted values and returns std::expected<T, E> for an error type E that
// ExportedError knows (Error, VerifyError, or one a component adds); the boundary reports E's
// message as the namespace's error.
#include <exception>
#include <string>
#include <tuple>
#include <type_traits>
#include <utility>

#include "ffi/describe.hpp"
#include "ffi/namespace.hpp"
#include "ffi/types.hpp"

namespace quorvantile_log::ffi {

// How a work operation's error becomes the exported error's message. Components whose work
// operations have an error type of their own specialise this beside their exports.
template <class E>
struct ExportedError;

template <>
struct ExportedError<Error> {
  static VerifyError from(const Error& error) { return VerifyError::from(error); }
};

template <>
struct ExportedError<VerifyError> {
  static VerifyError from(const VerifyError& error) { return error; }
};

template <class T, class E>
ExportResult<T> to_export_result(std::expected<T, E>&& result) {
  if (!result) return std::unexpected(ExportedError<E>::from(result.error()));
  if constexpr (std::is_void_v<T>) {
    return {};
  } else {
    return std::move(*result);
  }
}

// Reports a failure with status code 2; never throws (a failure to allocate the message leaves
// an empty error buffer).
void report_unexpected(RustCallStatus* status, std::string_view message) noexcept;

template <class Decl, class Args, std::size_t... I, class... CArgs>
typename Decl::result::c_type invoke_lifted(RustCallStatus* status, std::index_sequence<I...>, CArgs... cargs) {
  using R = typename Decl::result;
  std::tuple<typename std::tuple_element_t<I, Args>::holder...> holders(cargs...);
  std::tuple<std::optional<typename std::tuple_element_t<I, Args>::value>...> values;
  std::size_t failed_at = sizeof...(I);
  std::string reason;
  auto lift_one = [&]<std::size_t J>(std::integral_constant<std::size_t, J>) {
    if (failed_at != sizeof...(I)) return;
    auto lifted = std::tuple_element_t<J, Args>::lift(std::get<J>(holders));
    if (!lifted) {
      failed_at = J;
      reason = std::move(lifted.error());
      return;
    }
    std::get<J>(values).emplace(std::move(*lifted));
  };
  (lift_one(std::integral_constant<std::size_t, I>{}), ...);
  if (failed_at != sizeof...(I)) {
    std::string message = "Failed to convert arg '";
    message += Decl::arg_names[failed_at];
    message += "':\n";
    message += reason;
    report_unexpected(status, message);
    return R::zero();
  }
  auto result = to_export_result(Decl::work(std::move(*std::get<I>(values))...));
  if (!result) {
    set_error(status, encode_verify_error(result.error()));
    return R::zero();
  }
  if constexpr (std::is_void_v<typename R::c_type>) {
    return;
  } else {
    return R::lower(*result);
  }
}

// Runs `body`, stopping any failure at the boundary: it becomes status code 2 with the failure's
// text, and the zero value of the C return type is returned. Nothing unwinds past it.
template <class F>
auto guarded(RustCallStatus* status, F&& body) noexcept -> decltype(body()) {
  try {
    return body();
  } catch (const UnexpectedFailure& failure) {
    report_unexpected(status, failure.message);
  } catch (const std::exception& e) {
    report_unexpected(status, e.what());
  } catch (...) {
    report_unexpected(status, "");
  }
  if constexpr (!std::is_void_v<decltype(body())>) return {};
}

template <class Decl, class... CArgs>
typename Decl::result::c_type invoke(RustCallStatus* status, CArgs... cargs) noexcept {
  return guarded(status, [&] {
    return invoke_lifted<Decl, typename Decl::args>(status, std::index_sequence_for<CArgs...>{}, cargs...);
  });
}

// A function's docstring is its summary, then each argument's text after a heading, one
// "name: text" line per argument in declaration order, so the description carries what every
// argument means.
inline constexpr std::string_view kArgumentsHeading = "\n\nArguments:";

template <class Decl>
constexpr std::size_t documentation_length() {
  constexpr std::size_t count = std::tuple_size_v<typename Decl::args>;
  std::size_t n = Decl::doc.size();
  if (count == 0) return n;
  n += kArgumentsHeading.size();
  for (std::size_t i = 0; i < count; ++i) {
    n += 1 + Decl::arg_names[i].size() + 2 + Decl::arg_docs[i].size();
  }
  return n;
}

// The function record: kind 0x00, module path, name, async flag 0, 0x00, argument count, each
// argument (name, type, 0x00, 0x00), the result type (result of the success type and the
// namespace's error), documentation (the summary and the arguments' texts).
template <class Decl, std::size_t... I>
constexpr meta::Buf function_record(std::index_sequence<I...>) {
  using Ns = typename Decl::ns;
  meta::Buf b;
  b.byte(0x00).short_string(Ns::module_path).short_string(Decl::name).byte(0x00).byte(0x00);
  b.byte(static_cast<uint8_t>(sizeof...(I)));
  auto arg = [&](std::string_view name, const meta::Buf& type) { b.short_string(name).raw(type).byte(0x00).byte(0x00); };
  (arg(Decl::arg_names[I], std::tuple_element_t<I, typename Decl::args>::meta(Ns::module_path)), ...);
  b.byte(meta::kResult).raw(Decl::result::meta(Ns::module_path)).raw(meta::enum_type(Ns::module_path, Ns::error_name));
  b.doc_length(documentation_length<Decl>()).text(Decl::doc);
  if constexpr (sizeof...(I) > 0) {
    b.text(kArgumentsHeading);
    ((b.text("\n").text(Decl::arg_names[I]).text(": ").text(Decl::arg_docs[I])), ...);
  }
  return b;
}

template <class Decl>
constexpr meta::Buf function_record() {
  return function_record<Decl>(std::make_index_sequence<std::tuple_size_v<typename Decl::args>>{});
}

}  // namespace quorvantile_log::ffi

// --- the declaration macro -------------------------------------------------------------------

#define QV_PARENS ()
#define QV_EXPAND(...) QV_EXPAND3(QV_EXPAND3(QV_EXPAND3(QV_EXPAND3(__VA_ARGS__))))
#define QV_EXPAND3(...) QV_EXPAND2(QV_EXPAND2(QV_EXPAND2(QV_EXPAND2(__VA_ARGS__))))
#define QV_EXPAND2(...) QV_EXPAND1(QV_EXPAND1(QV_EXPAND1(QV_EXPAND1(__VA_ARGS__))))
#define QV_EXPAND1(...) __VA_ARGS__
#define QV_FOR_EACH(macro, ...) __VA_OPT__(QV_EXPAND(QV_FOR_EACH_STEP(macro, __VA_ARGS__)))
#define QV_FOR_EACH_STEP(macro, first, ...) macro first __VA_OPT__(, QV_FOR_EACH_AGAIN QV_PARENS(macro, __VA_ARGS__))
#define QV_FOR_EACH_AGAIN() QV_FOR_EACH_STEP

// The C parameter is the argument name with a suffix, so that names such as `namespace` that are
// C++ keywords can still be declared.
#define QV_ARG_PARAM(arg_name, Type, doc_text) ::quorvantile_log::ffi::types::Type::c_type arg_name##_arg
#define QV_ARG_TYPE(arg_name, Type, doc_text) ::quorvantile_log::ffi::types::Type
#define QV_ARG_NAME(arg_name, Type, doc_text) std::string_view(#arg_name)
#define QV_ARG_DOC(arg_name, Type, doc_text) std::string_view(doc_text)
#define QV_ARG_FORWARD(arg_name, Type, doc_text) arg_name##_arg

#define QV_EXPORT_IN(ns_name, NS_NAME, fn_name, FN_NAME, ResultType, work_fn, doc_text, ...)                \
  namespace quorvantile_log::ffi::decl::ns_name##_exports {                                                         \
  struct fn_name {                                                                                       \
    using ns = ::quorvantile_log::ffi::ns::ns_name;                                                      \
    static_assert(ns::name == #ns_name);                                                                 \
    static constexpr std::string_view name = #fn_name;                                                   \
    static constexpr std::string_view doc = doc_text;                                                    \
    using result = ::quorvantile_log::ffi::types::ResultType;                                            \
    using args = std::tuple<QV_FOR_EACH(QV_ARG_TYPE, __VA_ARGS__)>;                                      \
    static constexpr std::string_view arg_names[] = {QV_FOR_EACH(QV_ARG_NAME, __VA_ARGS__)};             \
    static constexpr std::string_view arg_docs[] = {QV_FOR_EACH(QV_ARG_DOC, __VA_ARGS__)};               \
    template <class... V>                                                                                \
    static auto work(V&&... values) {                                                                    \
      return work_fn(std::forward<V>(values)...);                                                        \
    }                                                                                                    \
    static constexpr ::quorvantile_log::ffi::meta::Buf record_buf =                                      \
        ::quorvantile_log::ffi::function_record<fn_name>();                                              \
  };                                                                                                     \
  }                                                                                                      \
  QV_DESCRIPTION(UNIFFI_META_##NS_NAME##_FUNC_##FN_NAME,                                                 \
                 ::quorvantile_log::ffi::decl::ns_name##_exports::fn_name::record_buf)                             \
  extern "C" QV_API uint16_t uniffi_##ns_name##_checksum_func_##fn_name(void) {                          \
    static constexpr uint16_t value = ::quorvantile_log::ffi::meta::checksum(                            \
        ::quorvantile_log::ffi::meta::to_array<::quorvantile_log::ffi::decl::ns_name##_exports::fn_name::record_buf.len>( \
            ::quorvantile_log::ffi::decl::ns_name##_exports::fn_name::record_buf));                                \
    return value;                                                                                        \
  }                                                                                                      \
  extern "C" QV_API ::quorvantile_log::ffi::types::ResultType::c_type                                    \
      uniffi_##ns_name##_fn_func_##fn_name(QV_FOR_EACH(QV_ARG_PARAM, __VA_ARGS__), RustCallStatus* status) { \
    return ::quorvantile_log::ffi::invoke<::quorvantile_log::ffi::decl::ns_name##_exports::fn_name>(               \
        status, QV_FOR_EACH(QV_ARG_FORWARD, __VA_ARGS__));                                               \
  }

#define QV_EXPORT(...) QV_EXPORT_IN(quorvantile_log, QUORVANTILE_LOG, __VA_ARGS__)
