#include "database/storage/crypto/digest.h"

#include <openssl/evp.h>

#include <string>

namespace storage::crypto {

namespace {

// The names the encryption schema allows, as libcrypto knows them.
const char* libcryptoName(std::string_view name) {
    if (name == "SHA1")
        return "SHA1";
    if (name == "SHA256")
        return "SHA256";
    if (name == "SHA384")
        return "SHA384";
    if (name == "SHA512")
        return "SHA512";
    if (name == "MD5")
        return "MD5";
    if (name == "MD4")
        return "MD4";
    if (name == "RIPEMD-160")
        return "RIPEMD160";
    if (name == "WHIRLPOOL")
        return "WHIRLPOOL";
    return nullptr; // MD2 and RIPEMD-128 have no implementation in libcrypto
}

} // namespace

std::unique_ptr<Digest> Digest::named(std::string_view descriptorName) {
    const char* name = libcryptoName(descriptorName);
    if (!name)
        return nullptr;
    EVP_MD* md = EVP_MD_fetch(nullptr, name, nullptr);
    if (!md)
        return nullptr;
    EVP_MD_CTX* context = EVP_MD_CTX_new();
    if (!context) {
        EVP_MD_free(md);
        return nullptr;
    }
    return std::unique_ptr<Digest>(new Digest(md, context));
}

std::unique_ptr<Digest> Digest::sha1() {
    return named("SHA1");
}

Digest::Digest(evp_md_st* md, evp_md_ctx_st* context)
    : m_md(md), m_context(context), m_size(static_cast<std::size_t>(EVP_MD_get_size(md))) {}

Digest::~Digest() {
    EVP_MD_CTX_free(m_context);
    EVP_MD_free(m_md);
}

std::vector<uint8_t> Digest::of(std::initializer_list<Bytes> parts) {
    std::vector<uint8_t> out(m_size);
    into(parts, out.data());
    return out;
}

void Digest::into(std::initializer_list<Bytes> parts, uint8_t* out) {
    // These calls fail only when memory runs out, which the engine treats as fatal anyway.
    EVP_DigestInit_ex(m_context, m_md, nullptr);
    for (Bytes part : parts)
        EVP_DigestUpdate(m_context, part.data(), part.size());
    unsigned int length = 0;
    EVP_DigestFinal_ex(m_context, out, &length);
}

} // namespace storage::crypto
