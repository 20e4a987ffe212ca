// How long checking an update's signature takes: a 10 MB message (a large update archive), by the
// program's own Ed25519 verifier and by OpenSSL's; and a one-byte message, which shows the cost of
// the curve arithmetic without the hashing.

#include <benchmark/benchmark.h>
#include <openssl/evp.h>

#include <cstdio>
#include <cstdlib>
#include <memory>
#include <random>
#include <vector>

#include "platform/linux/crypto/OpenSslSignatureVerifier.h"
#include "signature/Ed25519.h"

namespace {

using Bytes = std::vector<unsigned char>;

struct Signed {
    Bytes publicKey = Bytes(32);
    Bytes message;
    Bytes signature = Bytes(64);
};

Signed signedMessage(std::size_t size) {
    Signed result;
    std::mt19937_64 random(size);
    result.message.resize(size);
    for (unsigned char& byte : result.message) {
        byte = static_cast<unsigned char>(random());
    }
    const Bytes seed(32, 7);
    const std::unique_ptr<EVP_PKEY, decltype(&EVP_PKEY_free)> key(
        EVP_PKEY_new_raw_private_key(EVP_PKEY_ED25519, nullptr, seed.data(), seed.size()),
        EVP_PKEY_free);
    const std::unique_ptr<EVP_MD_CTX, decltype(&EVP_MD_CTX_free)> context(EVP_MD_CTX_new(),
                                                                          EVP_MD_CTX_free);
    std::size_t keySize = result.publicKey.size();
    std::size_t signatureSize = result.signature.size();
    if (!key || !context ||
        EVP_PKEY_get_raw_public_key(key.get(), result.publicKey.data(), &keySize) != 1 ||
        EVP_DigestSignInit(context.get(), nullptr, nullptr, nullptr, key.get()) != 1 ||
        EVP_DigestSign(context.get(), result.signature.data(), &signatureSize,
                       result.message.data(), result.message.size()) != 1) {
        std::fputs("OpenSSL could not sign the benchmark's message\n", stderr);
        std::abort();
    }
    return result;
}

const Signed& sample(std::int64_t size) {
    static const Signed large = signedMessage(10'000'000);
    static const Signed small = signedMessage(1);
    return size == 1 ? small : large;
}

void BM_OwnVerifier(benchmark::State& state) {
    const Signed& input = sample(state.range(0));
    for (auto _ : state) {
        const bool valid = quillfen::signature::verifyEd25519Portable(
            input.publicKey, input.message, input.signature);
        if (!valid) {
            state.SkipWithError("the own verifier refused a good signature");
        }
        benchmark::DoNotOptimize(valid);
    }
    state.SetBytesProcessed(state.iterations() * state.range(0));
}

void BM_OpenSslVerifier(benchmark::State& state) {
    const Signed& input = sample(state.range(0));
    const quillfen::platform::OpenSslSignatureVerifier verifier;
    for (auto _ : state) {
        const bool valid = verifier.verifyEd25519(input.publicKey, input.message, input.signature);
        if (!valid) {
            state.SkipWithError("OpenSSL refused a good signature");
        }
        benchmark::DoNotOptimize(valid);
    }
    state.SetBytesProcessed(state.iterations() * state.range(0));
}

BENCHMARK(BM_OwnVerifier)->Arg(1)->Arg(10'000'000)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_OpenSslVerifier)->Arg(1)->Arg(10'000'000)->Unit(benchmark::kMillisecond);

}  // namespace

BENCHMARK_MAIN();
