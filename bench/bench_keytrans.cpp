// Key-transparency search and monitoring proofs through the C ABI, beside the VRF verifications
// of the same ladder called directly (the floor: every rung costs one VRF verification; the rest
// is decoding, hashing and the commitment). Proofs come from the test-side directory.
// For suite 0x0001 (P-256 VRF) the proofs are also measured side by side, interleaved, against
// the OpenSSL operations their verification needs (BM_KeytransP256SideBySide), and against an
// earlier build of the library when QV_BASELINE_LIBRARY names its shared object.
#include <benchmark/benchmark.h>
#include <dlfcn.h>
#include <openssl/ec.h>
#include <openssl/evp.h>
#include <openssl/obj_mac.h>

#include <cstdlib>
#include <cstring>
#include <map>
#include <memory>
#include <stdexcept>

#include "../tests/support/kt_directory.hpp"
#include "interleaved.hpp"
#include "quorvantile_log.h"

namespace {

using qv_kt::Bytes;

struct Fixture {
  std::unique_ptr<qv_kt::Directory> dir;
  Bytes label;
  Bytes search;
  Bytes monitor;
  std::vector<std::pair<Bytes, Bytes>> rungs;  // alpha, vrf proof of the search ladder
};

const qv_kt::Suite& suite(int64_t i) { return qv_kt::suites()[static_cast<std::size_t>(i)]; }

// A label whose versions are those of the ladders of `greatest` (the others never enter a proof),
// beside 200 other labels.
const Fixture& fixture(int64_t suite_index, uint32_t greatest) {
  static std::map<std::pair<int64_t, uint32_t>, Fixture> cache;
  auto& f = cache[{suite_index, greatest}];
  if (f.dir) return f;
  f.dir = std::make_unique<qv_kt::Directory>(suite(suite_index), "bench/keytrans/v1");
  f.label = qv_kt::to_bytes("bench-label");
  std::vector<uint32_t> versions;
  for (uint64_t v : qv_kt::binary_ladder(greatest))
    if (v <= greatest) versions.push_back(static_cast<uint32_t>(v));
  f.dir->add_versions(f.label, versions);
  for (int i = 0; i < 200; ++i) f.dir->add_label(qv_kt::to_bytes("other-" + std::to_string(i)), 1);
  f.dir->publish(1000, 999);
  const auto proof = f.dir->search(f.label);
  f.search = qv_kt::encode(proof);
  f.monitor = qv_kt::encode(f.dir->monitor(f.label, greatest));
  for (const auto& s : proof.ladder) {
    qv_kt::Writer alpha;
    alpha.vec(1, f.label).u32(s.version);
    f.rungs.emplace_back(alpha.out, s.vrf_proof);
  }
  return f;
}

struct Library {
  void* handle;
  decltype(&ffi_quorvantile_log_rustbuffer_from_bytes) from_bytes;
  decltype(&ffi_quorvantile_log_rustbuffer_free) free;
  decltype(&uniffi_quorvantile_log_fn_func_keytrans_verify_search_suite) search;
  decltype(&uniffi_quorvantile_log_fn_func_keytrans_verify_monitor_suite) monitor;
  explicit Library(const char* path = QV_LIBRARY_PATH) {
    handle = dlopen(path, RTLD_NOW | RTLD_LOCAL);
    if (!handle) throw std::runtime_error(dlerror());
    from_bytes = reinterpret_cast<decltype(from_bytes)>(dlsym(handle, "ffi_quorvantile_log_rustbuffer_from_bytes"));
    free = reinterpret_cast<decltype(free)>(dlsym(handle, "ffi_quorvantile_log_rustbuffer_free"));
    search = reinterpret_cast<decltype(search)>(dlsym(handle, "uniffi_quorvantile_log_fn_func_keytrans_verify_search_suite"));
    monitor =
        reinterpret_cast<decltype(monitor)>(dlsym(handle, "uniffi_quorvantile_log_fn_func_keytrans_verify_monitor_suite"));
    if (!from_bytes || !free || !search || !monitor) throw std::runtime_error("missing symbol");
  }
  RustBuffer raw(const Bytes& b) const {
    RustCallStatus st{};
    return from_bytes(ForeignBytes{static_cast<int32_t>(b.size()), b.data()}, &st);
  }
  // sequence<u8>: a 4-byte count, then the bytes.
  RustBuffer seq(const Bytes& b) const {
    qv_kt::Writer w;
    w.vec(4, b);
    return raw(w.out);
  }
};

const Library& lib() {
  static const Library l;
  return l;
}

// The earlier build named by QV_BASELINE_LIBRARY, if any (its own copy of everything: RTLD_LOCAL).
const Library* baseline() {
  static const std::unique_ptr<Library> l = [] {
    const char* path = std::getenv("QV_BASELINE_LIBRARY");
    return path ? std::make_unique<Library>(path) : nullptr;
  }();
  return l.get();
}

// The OpenSSL operations one ECVRF-P256-SHA256-TAI verification needs, each the way OpenSSL
// offers it: points decoded with EC_POINT_oct2point (the key once per proof), hash-to-curve
// candidates hashed with a pre-fetched SHA-256 and decoded until one is a point, U = s*G - c*Y in
// one EC_POINT_mul, V = s*H - c*Gamma in one EC_POINT_mul on a copy of the curve whose generator
// is H (OpenSSL 3's only non-deprecated two-point multiplication), both compressed, then the
// challenge and beta hashes. The recomputed challenge is compared, so the peer does verify.
class OpensslP256Peer {
 public:
  OpensslP256Peer()
      : group_(EC_GROUP_new_by_curve_name(NID_X9_62_prime256v1)), ctx_(BN_CTX_new()),
        sha_(EVP_MD_fetch(nullptr, "SHA256", nullptr)), md_(EVP_MD_CTX_new()) {
    if (!group_ || !ctx_ || !sha_ || !md_) throw std::runtime_error("OpenSSL setup failed");
  }
  ~OpensslP256Peer() {
    EVP_MD_CTX_free(md_);
    EVP_MD_free(sha_);
    BN_CTX_free(ctx_);
    EC_GROUP_free(group_);
  }
  OpensslP256Peer(const OpensslP256Peer&) = delete;
  OpensslP256Peer& operator=(const OpensslP256Peer&) = delete;

  // Every rung's proof under the key; false when one does not verify.
  bool verify_all(const Bytes& key, const std::vector<std::pair<Bytes, Bytes>>& rungs) {
    EC_POINT* y = decode(key.data());
    bool ok = y != nullptr;
    for (const auto& [alpha, proof] : rungs) ok = ok && verify(key, y, alpha, proof);
    EC_POINT_free(y);
    return ok;
  }

 private:
  EC_POINT* decode(const uint8_t* string) {
    EC_POINT* point = EC_POINT_new(group_);
    if (EC_POINT_oct2point(group_, point, string, 33, ctx_) == 1) return point;
    EC_POINT_free(point);
    return nullptr;
  }

  void sha256(std::initializer_list<std::pair<const uint8_t*, std::size_t>> parts, uint8_t* out) {
    EVP_DigestInit_ex2(md_, sha_, nullptr);
    for (const auto& [data, len] : parts) EVP_DigestUpdate(md_, data, len);
    EVP_DigestFinal_ex(md_, out, nullptr);
  }

  bool verify(const Bytes& key, const EC_POINT* y, const Bytes& alpha, const Bytes& proof) {
    const uint8_t h2c[2] = {0x01, 0x01}, chal[2] = {0x01, 0x02}, beta_front[2] = {0x01, 0x03}, back[1] = {0x00};
    EC_POINT* gamma = decode(proof.data());
    EC_POINT* h = nullptr;
    uint8_t h_string[33] = {0x02};
    for (int ctr = 0; ctr < 256 && h == nullptr; ++ctr) {
      const uint8_t tail[2] = {static_cast<uint8_t>(ctr), 0x00};
      sha256({{h2c, 2}, {key.data(), key.size()}, {alpha.data(), alpha.size()}, {tail, 2}}, h_string + 1);
      h = decode(h_string);
    }
    BIGNUM* s = BN_bin2bn(proof.data() + 49, 32, nullptr);
    BIGNUM* minus_c = BN_bin2bn(proof.data() + 33, 16, nullptr);
    BN_sub(minus_c, EC_GROUP_get0_order(group_), minus_c);
    EC_POINT* u = EC_POINT_new(group_);
    EC_POINT* v = EC_POINT_new(group_);
    EC_GROUP* with_h = EC_GROUP_dup(group_);
    uint8_t strings[3][33];
    uint8_t digest[32];
    const bool ok = gamma && h && EC_POINT_mul(group_, u, s, y, minus_c, ctx_) == 1 &&
                    EC_GROUP_set_generator(with_h, h, EC_GROUP_get0_order(group_), BN_value_one()) == 1 &&
                    EC_POINT_mul(with_h, v, s, gamma, minus_c, ctx_) == 1 &&
                    EC_POINT_point2oct(group_, y, POINT_CONVERSION_COMPRESSED, strings[0], 33, ctx_) == 33 &&
                    EC_POINT_point2oct(group_, u, POINT_CONVERSION_COMPRESSED, strings[1], 33, ctx_) == 33 &&
                    EC_POINT_point2oct(group_, v, POINT_CONVERSION_COMPRESSED, strings[2], 33, ctx_) == 33;
    if (ok) {
      sha256({{chal, 2}, {strings[0], 33}, {h_string, 33}, {proof.data(), 33}, {strings[1], 33}, {strings[2], 33},
              {back, 1}},
             digest);
    }
    const bool verified = ok && std::memcmp(digest, proof.data() + 33, 16) == 0;
    if (verified) sha256({{beta_front, 2}, {proof.data(), 33}, {back, 1}}, digest);
    EC_GROUP_free(with_h);
    EC_POINT_free(v);
    EC_POINT_free(u);
    BN_free(minus_c);
    BN_free(s);
    EC_POINT_free(h);
    EC_POINT_free(gamma);
    return verified;
  }

  EC_GROUP* group_;
  BN_CTX* ctx_;
  EVP_MD* sha_;
  EVP_MD_CTX* md_;
};

uint32_t greatest_of(int64_t arg) { return arg == 20 ? (1u << 20) : static_cast<uint32_t>(arg); }

void BM_KeytransSearchCAbi(benchmark::State& state) {
  const Fixture& f = fixture(state.range(0), greatest_of(state.range(1)));
  const auto& d = *f.dir;
  const auto root = d.root();
  const Bytes root_bytes(root.begin(), root.end());
  const Bytes context = qv_kt::to_bytes(d.context());
  for (auto _ : state) {
    RustCallStatus status{};
    RustBuffer out = lib().search(d.suite().id, lib().raw(context), lib().seq(d.vrf_public()), lib().seq(root_bytes),
                                  lib().seq(f.label), lib().seq(f.search), &status);
    if (status.code != 0) state.SkipWithError("verification failed");
    RustCallStatus st{};
    lib().free(out, &st);
  }
  state.counters["rungs"] = static_cast<double>(f.rungs.size());
}

void BM_KeytransMonitorCAbi(benchmark::State& state) {
  const Fixture& f = fixture(state.range(0), 1u << 20);
  const auto& d = *f.dir;
  const auto root = d.root();
  const Bytes root_bytes(root.begin(), root.end());
  const Bytes context = qv_kt::to_bytes(d.context());
  for (auto _ : state) {
    RustCallStatus status{};
    lib().monitor(d.suite().id, lib().raw(context), lib().seq(d.vrf_public()), lib().seq(root_bytes),
                  lib().seq(f.label), lib().seq(f.monitor), &status);
    if (status.code != 0) state.SkipWithError("verification failed");
  }
}

// The VRF verifications of the search ladder alone.
void BM_KeytransSearchVrfOnly(benchmark::State& state) {
  const Fixture& f = fixture(state.range(0), greatest_of(state.range(1)));
  const auto& vrf = *f.dir->suite().vrf;
  for (auto _ : state) {
    for (const auto& [alpha, proof] : f.rungs) {
      auto v = vrf.verify(f.dir->vrf_public(), alpha, proof);
      if (!v || !v->has_value()) state.SkipWithError("vrf failed");
      benchmark::DoNotOptimize(v);
    }
  }
}

// The VRF verifications of the monitoring ladder of 2^20 alone.
void BM_KeytransMonitorVrfOnly(benchmark::State& state) {
  const Fixture& f = fixture(state.range(0), 1u << 20);
  const auto& vrf = *f.dir->suite().vrf;
  for (auto _ : state) {
    for (const auto& [alpha, proof] : f.rungs) {
      qv_kt::Writer w;
      const uint32_t version = static_cast<uint32_t>(alpha[alpha.size() - 4]) << 24 |
                               static_cast<uint32_t>(alpha[alpha.size() - 3]) << 16 |
                               static_cast<uint32_t>(alpha[alpha.size() - 2]) << 8 | alpha.back();
      if (version > (1u << 20)) continue;
      auto v = vrf.verify(f.dir->vrf_public(), alpha, proof);
      benchmark::DoNotOptimize(v);
    }
  }
}

// Suite 0x0001 side by side: the C ABI call of this build ("ours"), of the baseline build when
// QV_BASELINE_LIBRARY is set ("before"), and the OpenSSL peer over the same rungs ("peer").
// Arguments: 0 for the monitoring proof of 2^20, else the search proof's greatest version (1,
// 100, 20 for 2^20). The hash-to-curve candidates of H are the ones the proofs use.
void BM_KeytransP256SideBySide(benchmark::State& state) {
  const bool monitor = state.range(0) == 0;
  const Fixture& f = fixture(1, monitor ? (1u << 20) : greatest_of(state.range(0)));
  const auto& d = *f.dir;
  const auto root = d.root();
  const Bytes root_bytes(root.begin(), root.end());
  const Bytes context = qv_kt::to_bytes(d.context());
  std::vector<std::pair<Bytes, Bytes>> rungs;
  if (monitor) {
    for (const auto& s : f.dir->monitor(f.label, 1u << 20).ladder) {
      qv_kt::Writer alpha;
      alpha.vec(1, f.label).u32(s.version);
      rungs.emplace_back(alpha.out, s.vrf_proof);
    }
  } else {
    rungs = f.rungs;
  }
  const auto abi_call = [&](const Library& l) {
    RustCallStatus status{};
    if (monitor) {
      l.monitor(d.suite().id, l.raw(context), l.seq(d.vrf_public()), l.seq(root_bytes), l.seq(f.label),
                l.seq(f.monitor), &status);
    } else {
      RustBuffer out = l.search(d.suite().id, l.raw(context), l.seq(d.vrf_public()), l.seq(root_bytes),
                                l.seq(f.label), l.seq(f.search), &status);
      RustCallStatus st{};
      l.free(out, &st);
    }
    if (status.code != 0) throw std::runtime_error("verification failed");
  };
  OpensslP256Peer peer;
  std::vector<qv_bench::Candidate> candidates = {
      {"ours", [&] { abi_call(lib()); }},
      {"peer", [&] {
         if (!peer.verify_all(d.vrf_public(), rungs)) throw std::runtime_error("peer did not verify");
       }}};
  std::vector<std::pair<std::size_t, std::size_t>> pairs = {{0, 1}};
  if (const Library* before = baseline()) {
    candidates.push_back({"before", [&, before] { abi_call(*before); }});
    pairs.push_back({2, 1});
    pairs.push_back({0, 2});
  }
  for (auto _ : state) {
    const auto ns = qv_bench::interleave(candidates, 15, 3);
    qv_bench::report(state, candidates, ns, pairs);
  }
  state.counters["rungs"] = static_cast<double>(rungs.size());
}
BENCHMARK(BM_KeytransP256SideBySide)->ArgName("greatest")->Arg(1)->Arg(100)->Arg(20)->Arg(0)->Iterations(1)->Unit(
    benchmark::kMillisecond);

// Suites by index: 0 = 0xF000, 1 = 0x0001 (P-256), 2 = 0x0002; greatest 1, 100 and 20 for 2^20.
void search_args(benchmark::internal::Benchmark* b) {
  b->ArgNames({"suite", "greatest"});
  for (int s = 0; s < 3; ++s)
    for (int g : {1, 100, 20}) b->Args({s, g});
}
BENCHMARK(BM_KeytransSearchCAbi)->Apply(search_args)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_KeytransSearchVrfOnly)->Apply(search_args)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_KeytransMonitorCAbi)->ArgName("suite")->DenseRange(0, 2)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_KeytransMonitorVrfOnly)->ArgName("suite")->DenseRange(0, 2)->Unit(benchmark::kMicrosecond);

}  // namespace

BENCHMARK_MAIN();
