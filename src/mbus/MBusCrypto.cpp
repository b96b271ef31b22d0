#include "mbus/MBusCrypto.h"

#include <openssl/core_names.h>
#include <openssl/evp.h>

#include <memory>
#include <vector>

namespace {
struct TCipherFree {
    void operator()(EVP_CIPHER_CTX* c) const { EVP_CIPHER_CTX_free(c); }
};
struct TMacFree {
    void operator()(EVP_MAC* m) const { EVP_MAC_free(m); }
};
struct TMacCtxFree {
    void operator()(EVP_MAC_CTX* c) const { EVP_MAC_CTX_free(c); }
};
}  // namespace

bool Aes128_Cbc_Decrypt(const TAesKey& Key, const TAesBlock& IV, Byte* Data, std::size_t Length) {
    if (Length % 16 != 0) return false;
    if (Length == 0) return true;
    std::unique_ptr<EVP_CIPHER_CTX, TCipherFree> ctx(EVP_CIPHER_CTX_new());
    if (!ctx || EVP_DecryptInit_ex(ctx.get(), EVP_aes_128_cbc(), nullptr, Key.data(), IV.data()) != 1) return false;
    EVP_CIPHER_CTX_set_padding(ctx.get(), 0);
    // Into a copy first, so that a refusal leaves the caller's bytes as they were.
    std::vector<Byte> out(Length + 16);
    int n = 0, tail = 0;
    if (EVP_DecryptUpdate(ctx.get(), out.data(), &n, Data, static_cast<int>(Length)) != 1) return false;
    if (EVP_DecryptFinal_ex(ctx.get(), out.data() + n, &tail) != 1) return false;
    if (static_cast<std::size_t>(n + tail) != Length) return false;
    std::copy(out.begin(), out.begin() + static_cast<std::ptrdiff_t>(Length), Data);
    return true;
}

bool Aes128_Cmac(const TAesKey& Key, const Byte* Data, std::size_t Length, TAesBlock& Mac) {
    std::unique_ptr<EVP_MAC, TMacFree> mac(EVP_MAC_fetch(nullptr, "CMAC", nullptr));
    if (!mac) return false;
    std::unique_ptr<EVP_MAC_CTX, TMacCtxFree> ctx(EVP_MAC_CTX_new(mac.get()));
    if (!ctx) return false;
    char cipher[] = "AES-128-CBC";
    OSSL_PARAM params[] = {OSSL_PARAM_construct_utf8_string(OSSL_MAC_PARAM_CIPHER, cipher, 0), OSSL_PARAM_construct_end()};
    if (EVP_MAC_init(ctx.get(), Key.data(), Key.size(), params) != 1) return false;
    if (Length > 0 && EVP_MAC_update(ctx.get(), Data, Length) != 1) return false;
    std::size_t written = 0;
    if (EVP_MAC_final(ctx.get(), Mac.data(), &written, Mac.size()) != 1 || written != Mac.size()) return false;
    return true;
}
