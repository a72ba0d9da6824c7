#include "database/storage/crypto/agile_descriptor.h"

#include <expat.h>
#include <openssl/evp.h>

#include <charconv>
#include <cstring>
#include <map>

namespace storage::crypto {

namespace {

constexpr const char* kEncryptionNamespace = "http://schemas.microsoft.com/office/2006/encryption";
constexpr const char* kPasswordNamespace = "http://schemas.microsoft.com/office/2006/keyEncryptor/password";
constexpr const char* kCertificateNamespace = "http://schemas.microsoft.com/office/2006/keyEncryptor/certificate";
constexpr char kNamespaceSeparator = ' ';

using Attributes = std::map<std::string, std::string>;

struct ParseState {
    bool sawEncryption = false;
    std::optional<Attributes> keyData;
    std::optional<Attributes> passwordKey;
    std::string currentEncryptorUri; // of the keyEncryptor element we are inside
    std::vector<std::string> encryptorUris;
};

bool named(const char* expanded, const char* uri, const char* local) {
    const std::size_t uriLength = std::strlen(uri);
    return std::strncmp(expanded, uri, uriLength) == 0 && expanded[uriLength] == kNamespaceSeparator &&
           std::strcmp(expanded + uriLength + 1, local) == 0;
}

Attributes collect(const XML_Char** attributes) {
    Attributes collected;
    for (std::size_t i = 0; attributes[i] && attributes[i + 1]; i += 2)
        collected[attributes[i]] = attributes[i + 1];
    return collected;
}

void XMLCALL startElement(void* data, const XML_Char* name, const XML_Char** attributes) {
    auto& state = *static_cast<ParseState*>(data);
    if (named(name, kEncryptionNamespace, "encryption")) {
        state.sawEncryption = true;
    } else if (named(name, kEncryptionNamespace, "keyData")) {
        state.keyData = collect(attributes);
    } else if (named(name, kEncryptionNamespace, "keyEncryptor")) {
        const Attributes found = collect(attributes);
        const auto uri = found.find("uri");
        state.currentEncryptorUri = uri == found.end() ? std::string() : uri->second;
        state.encryptorUris.push_back(state.currentEncryptorUri);
    } else if (named(name, kPasswordNamespace, "encryptedKey") && state.currentEncryptorUri == kPasswordNamespace) {
        state.passwordKey = collect(attributes);
    }
}

void XMLCALL endElement(void* data, const XML_Char* name) {
    auto& state = *static_cast<ParseState*>(data);
    if (named(name, kEncryptionNamespace, "keyEncryptor"))
        state.currentEncryptorUri.clear();
}

Error malformed(const std::string& what) {
    return {0, "the agile encryption descriptor " + what, ErrorKind::NotSupported};
}

class AttributeReader {
public:
    AttributeReader(const Attributes& attributes, std::string element)
        : m_attributes(attributes), m_element(std::move(element)) {}

    uint32_t number(const char* name) {
        const std::string& text = value(name);
        uint32_t result = 0;
        const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), result);
        if (error != std::errc() || end != text.data() + text.size())
            fail(name);
        return result;
    }
    std::vector<uint8_t> bytes(const char* name) {
        bool ok = false;
        std::vector<uint8_t> decoded = base64Decode(value(name), ok);
        if (!ok)
            fail(name);
        return decoded;
    }
    const std::string& value(const char* name) {
        static const std::string none;
        const auto found = m_attributes.find(name);
        if (found == m_attributes.end()) {
            fail(name);
            return none;
        }
        return found->second;
    }
    void read(AgileKeyParameters& key) {
        key.saltSize = number("saltSize");
        key.blockSize = number("blockSize");
        key.keyBits = number("keyBits");
        key.hashSize = number("hashSize");
        key.cipherAlgorithm = value("cipherAlgorithm");
        key.cipherChaining = value("cipherChaining");
        key.hashAlgorithm = value("hashAlgorithm");
        key.salt = bytes("saltValue");
    }
    const std::string& problem() const { return m_problem; }

private:
    void fail(const char* name) {
        if (m_problem.empty())
            m_problem = "has no valid " + std::string(name) + " on " + m_element;
    }
    const Attributes& m_attributes;
    std::string m_element;
    std::string m_problem;
};

std::string attribute(const char* name, const std::string& value) {
    return std::string(" ") + name + "=\"" + value + "\"";
}

std::string keyAttributes(const AgileKeyParameters& key) {
    return attribute("saltSize", std::to_string(key.saltSize)) + attribute("blockSize", std::to_string(key.blockSize)) +
           attribute("keyBits", std::to_string(key.keyBits)) + attribute("hashSize", std::to_string(key.hashSize)) +
           attribute("cipherAlgorithm", key.cipherAlgorithm) + attribute("cipherChaining", key.cipherChaining) +
           attribute("hashAlgorithm", key.hashAlgorithm) + attribute("saltValue", base64Encode(key.salt));
}

} // namespace

Result<AgileDescriptor> parseAgileDescriptor(std::string_view xml) {
    ParseState state;
    XML_Parser parser = XML_ParserCreateNS("UTF-8", kNamespaceSeparator);
    if (!parser)
        return Error{0, "out of memory", ErrorKind::IOError};
    XML_SetUserData(parser, &state);
    XML_SetElementHandler(parser, startElement, endElement);
    const bool parsed = XML_Parse(parser, xml.data(), static_cast<int>(xml.size()), XML_TRUE) == XML_STATUS_OK;
    const std::string parseError = parsed ? std::string() : XML_ErrorString(XML_GetErrorCode(parser));
    XML_ParserFree(parser);
    if (!parsed)
        return malformed("is not well-formed XML (" + parseError + ")");
    if (!state.sawEncryption || !state.keyData)
        return malformed("has no keyData element");

    AgileDescriptor descriptor;
    AttributeReader keyData(*state.keyData, "keyData");
    keyData.read(descriptor.keyData);
    if (!keyData.problem().empty())
        return malformed(keyData.problem());
    if (state.passwordKey) {
        AttributeReader reader(*state.passwordKey, "the password's encryptedKey");
        AgilePasswordKey key;
        reader.read(key);
        key.spinCount = reader.number("spinCount");
        key.encryptedVerifierHashInput = reader.bytes("encryptedVerifierHashInput");
        key.encryptedVerifierHashValue = reader.bytes("encryptedVerifierHashValue");
        key.encryptedKeyValue = reader.bytes("encryptedKeyValue");
        if (!reader.problem().empty())
            return malformed(reader.problem());
        descriptor.password = std::move(key);
    }
    for (const std::string& uri : state.encryptorUris)
        if (uri != kPasswordNamespace)
            descriptor.otherEncryptors.push_back(uri);
    return descriptor;
}

std::string writeAgileDescriptor(const AgileDescriptor& descriptor) {
    std::string xml = "<?xml version=\"1.0\" encoding=\"UTF-8\" standalone=\"yes\"?>\r\n";
    xml += std::string("<encryption xmlns=\"") + kEncryptionNamespace + "\" xmlns:p=\"" + kPasswordNamespace +
           "\" xmlns:c=\"" + kCertificateNamespace + "\">";
    xml += "<keyData" + keyAttributes(descriptor.keyData) + "/>";
    xml += "<keyEncryptors>";
    if (descriptor.password) {
        const AgilePasswordKey& key = *descriptor.password;
        xml += std::string("<keyEncryptor uri=\"") + kPasswordNamespace + "\">";
        xml += "<p:encryptedKey" + attribute("spinCount", std::to_string(key.spinCount)) + keyAttributes(key) +
               attribute("encryptedVerifierHashInput", base64Encode(key.encryptedVerifierHashInput)) +
               attribute("encryptedVerifierHashValue", base64Encode(key.encryptedVerifierHashValue)) +
               attribute("encryptedKeyValue", base64Encode(key.encryptedKeyValue)) + "/>";
        xml += "</keyEncryptor>";
    }
    xml += "</keyEncryptors></encryption>";
    return xml;
}

std::vector<uint8_t> base64Decode(std::string_view text, bool& ok) {
    ok = false;
    if (text.size() % 4 != 0)
        return {};
    std::vector<uint8_t> out(text.size() / 4 * 3);
    const int length =
        EVP_DecodeBlock(out.data(), reinterpret_cast<const unsigned char*>(text.data()), static_cast<int>(text.size()));
    if (length < 0)
        return {};
    // EVP_DecodeBlock counts the padding as zero bytes.
    std::size_t padding = 0;
    for (auto at = text.rbegin(); at != text.rend() && *at == '=' && padding < 2; ++at)
        ++padding;
    out.resize(static_cast<std::size_t>(length) - padding);
    ok = true;
    return out;
}

std::string base64Encode(const std::vector<uint8_t>& bytes) {
    std::string out((bytes.size() + 2) / 3 * 4 + 1, '\0');
    const int length =
        EVP_EncodeBlock(reinterpret_cast<unsigned char*>(out.data()), bytes.data(), static_cast<int>(bytes.size()));
    out.resize(static_cast<std::size_t>(length));
    return out;
}

} // namespace storage::crypto
