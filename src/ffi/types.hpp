#pragma once
// One descriptor per interface type an export uses: its C type, how it is lifted (arguments) or
// lowered (results), and its type bytes in the interface description. Named types are written
// with the module path of the namespace whose record uses them, passed to meta().
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "ffi/buffer.hpp"
#include "ffi/lift.hpp"
#include "ffi/lower.hpp"
#include "ffi/meta.hpp"
#include "types/records.hpp"

namespace quorvantile_log::ffi::types {

template <class T, uint8_t Code>
struct Scalar {
  using c_type = T;
  using holder = T;
  using value = T;
  static constexpr meta::Buf meta(std::string_view) { return meta::type(Code); }
  static Lifted<T> lift(T v) { return v; }
  static T lower(T v) { return v; }
  static T zero() { return T{}; }
};

using U8 = Scalar<uint8_t, meta::kU8>;
using U16 = Scalar<uint16_t, meta::kU16>;
using U32 = Scalar<uint32_t, meta::kU32>;
using U64 = Scalar<uint64_t, meta::kU64>;

// Arguments carried in a RustBuffer owned by the call.
struct BufferArg {
  using c_type = RustBuffer;
  using holder = OwnedArg;
};

// A top-level string: the buffer's bytes are the text, not validated here, lifted as a view into
// the argument buffer, which the call owns until it returns.
struct String : BufferArg {
  using value = std::string_view;
  static constexpr meta::Buf meta(std::string_view) { return meta::type(meta::kString); }
  static Lifted<std::string_view> lift(const OwnedArg& arg) {
    const ByteView b = arg.bytes();
    return std::string_view(reinterpret_cast<const char*>(b.data()), b.size());
  }
};

// sequence<u8>: as an argument, a view into the call's argument buffer; as a result, owned bytes.
struct Bytes : BufferArg {
  using value = quorvantile_crypto::ByteView;
  static constexpr meta::Buf meta(std::string_view) { return meta::sequence_of(meta::type(meta::kU8)); }
  static Lifted<value> lift(const OwnedArg& arg) { return lift_bytes(arg.bytes()); }
  static RustBuffer lower(quorvantile_crypto::ByteView v) {
    Writer w;
    w.bytes(v);
    return w.finish();
  }
  static RustBuffer zero() { return {}; }
};

// sequence<sequence<u8>>: views into the call's argument buffer.
struct BytesList : BufferArg {
  using value = std::vector<quorvantile_crypto::ByteView>;
  static constexpr meta::Buf meta(std::string_view) { return meta::sequence_of(meta::sequence_of(meta::type(meta::kU8))); }
  static Lifted<value> lift(const OwnedArg& arg) { return lift_bytes_list(arg.bytes()); }
};

struct StringList : BufferArg {
  using value = std::vector<std::string_view>;
  static constexpr meta::Buf meta(std::string_view) { return meta::sequence_of(meta::type(meta::kString)); }
  static Lifted<value> lift(const OwnedArg& arg) { return lift_string_list(arg.bytes()); }
};

// optional<sequence<u8>>: a view into the call's argument buffer when present.
struct OptionalBytes : BufferArg {
  using value = std::optional<quorvantile_crypto::ByteView>;
  static constexpr meta::Buf meta(std::string_view) { return meta::optional_of(meta::sequence_of(meta::type(meta::kU8))); }
  static Lifted<value> lift(const OwnedArg& arg) { return lift_optional_bytes(arg.bytes()); }
};

struct CommitmentHashArg : BufferArg {
  using value = quorvantile_log::CommitmentHash;
  static constexpr meta::Buf meta(std::string_view module) { return meta::enum_type(module, "CommitmentHash"); }
  static Lifted<value> lift(const OwnedArg& arg) {
    auto variant = lift_enum(arg.bytes(), "CommitmentHash", 2);
    if (!variant) return std::unexpected(variant.error());
    return static_cast<value>(*variant);
  }
};

// Results.
struct Void {
  using c_type = void;
  static constexpr meta::Buf meta(std::string_view) { return meta::type(meta::kNone); }
  static void zero() {}
};

template <class Record>
struct RecordResult {
  using c_type = RustBuffer;
  using value = Record;
  static RustBuffer lower(const Record& v) {
    Writer w;
    write(w, v);
    return w.finish();
  }
  static RustBuffer zero() { return {}; }
};

struct CheckpointHeadResult : RecordResult<CheckpointHead> {
  static constexpr meta::Buf meta(std::string_view module) { return meta::record_type(module, "CheckpointHead"); }
};
struct SearchResultResult : RecordResult<SearchResult> {
  static constexpr meta::Buf meta(std::string_view module) { return meta::record_type(module, "SearchResult"); }
};
struct PolicyPostureResult : RecordResult<PolicyPosture> {
  static constexpr meta::Buf meta(std::string_view module) { return meta::record_type(module, "PolicyPosture"); }
};

}  // namespace quorvantile_log::ffi::types
