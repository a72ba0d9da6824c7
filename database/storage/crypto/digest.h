#pragma once

#include "database/storage/format/bytes.h"

#include <cstdint>
#include <initializer_list>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

struct evp_md_st;
struct evp_md_ctx_st;

namespace storage::crypto {

// A hash function from libcrypto with one context that every call uses again, so that
// the many rounds of a password's key derivation allocate nothing.
class Digest {
public:
    // The hash an encryption descriptor names ("SHA1", "SHA512", "MD5", ...); null when
    // the name is unknown or this system's libcrypto lacks it.
    static std::unique_ptr<Digest> named(std::string_view descriptorName);
    static std::unique_ptr<Digest> sha1();
    ~Digest();
    Digest(const Digest&) = delete;
    Digest& operator=(const Digest&) = delete;

    std::size_t size() const { return m_size; }
    // The hash of the parts one after another.
    std::vector<uint8_t> of(std::initializer_list<Bytes> parts);
    // The same into out, which holds size() bytes.
    void into(std::initializer_list<Bytes> parts, uint8_t* out);

private:
    Digest(evp_md_st* md, evp_md_ctx_st* context);
    evp_md_st* m_md;
    evp_md_ctx_st* m_context;
    std::size_t m_size;
};

} // namespace storage::crypto
