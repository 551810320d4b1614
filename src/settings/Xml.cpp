#include "settings/Xml.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <atomic>
#include <cerrno>
#include <exception>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <optional>
#include <system_error>

#include "platform/Strings.h"

namespace DornXml {

namespace {

namespace fs = std::filesystem;

// Whitespace-only text is kept when it is an element's only content, so a value of spaces
// reads back as written; the declaration is kept so that saves repeat it.
constexpr unsigned kParseOptions =
    pugi::parse_default | pugi::parse_declaration | pugi::parse_ws_pcdata_single;

bool IsNameStartChar(char32_t c) {
    return (c >= U'A' && c <= U'Z') || (c >= U'a' && c <= U'z') || c == U'_' ||
           (c >= 0xC0 && c <= 0xD6) || (c >= 0xD8 && c <= 0xF6) || (c >= 0xF8 && c <= 0x2FF) ||
           (c >= 0x370 && c <= 0x37D) || (c >= 0x37F && c <= 0x1FFF) || (c >= 0x200C && c <= 0x200D) ||
           (c >= 0x2070 && c <= 0x218F) || (c >= 0x2C00 && c <= 0x2FEF) || (c >= 0x3001 && c <= 0xD7FF) ||
           (c >= 0xF900 && c <= 0xFDCF) || (c >= 0xFDF0 && c <= 0xFFFD) || (c >= 0x10000 && c <= 0xEFFFF);
}

bool IsNameChar(char32_t c) {
    return IsNameStartChar(c) || c == U'-' || c == U'.' || (c >= U'0' && c <= U'9') || c == 0xB7 ||
           (c >= 0x300 && c <= 0x36F) || (c >= 0x203F && c <= 0x2040);
}

bool IsXmlChar(char32_t c) {
    return c == 0x9 || c == 0xA || c == 0xD || (c >= 0x20 && c <= 0xD7FF) || (c >= 0xE000 && c <= 0xFFFD) ||
           (c >= 0x10000 && c <= 0x10FFFF);
}

// Collects the saved document. pugixml writes a carriage return inside text as it is, and
// the next load turns it into a line feed; written as a character reference it comes back.
// Text is the only place a raw carriage return can reach the output: loading turned every
// other one into a line feed, attribute values are escaped by pugixml, and indentation
// uses line feeds.
class CStringWriter : public pugi::xml_writer {
public:
    void write(const void* data, size_t size) override {
        const std::string_view chunk(static_cast<const char*>(data), size);
        for (char c : chunk) {
            if (c == '\r')
                m_str += "&#13;";
            else
                m_str += c;
        }
    }
    std::string m_str;   // everything written so far
};

bool WriteAll(int fd, std::string_view bytes) {
    while (!bytes.empty()) {
        const ssize_t n = ::write(fd, bytes.data(), bytes.size());
        if (n < 0) {
            if (errno == EINTR) continue;
            return false;
        }
        bytes.remove_prefix(static_cast<size_t>(n));
    }
    return true;
}

// Removes everything inside node. pugixml frees a removed subtree recursively, which a
// hostile file nested deeply enough turns into a stack overflow; removing leaves one at a
// time keeps the stack flat.
void RemoveChildren(pugi::xml_node node) {
    pugi::xml_node current = node;
    while (current != node || current.first_child()) {
        if (pugi::xml_node child = current.first_child()) {
            current = child;
            continue;
        }
        pugi::xml_node parent = current.parent();
        parent.remove_child(current);
        current = parent;
    }
}

// How deep elements nest below the document node.
int Depth(const pugi::xml_document& doc) {
    int depth = 0;
    int deepest = 0;
    pugi::xml_node node = doc.first_child();
    while (node) {
        deepest = std::max(deepest, depth + 1);
        if (node.first_child()) {
            node = node.first_child();
            ++depth;
            continue;
        }
        while (node && !node.next_sibling()) {
            node = node.parent();
            --depth;
            if (node == doc) return deepest;
        }
        if (node) node = node.next_sibling();
    }
    return deepest;
}

// Indentation grows with depth on every line, so a deeply nested document would be written
// in quadratic size; such a document is written without indentation.
constexpr int kMaxIndentedDepth = 32;

}  // namespace

CXmlNode::CXmlNode(std::shared_ptr<pugi::xml_document> pDoc, pugi::xml_node node)
    : m_pDoc(std::move(pDoc)), m_node(node) {}

CXmlNodePtr CXmlNode::GetChild(const std::wstring& strName, bool bCreate) {
    // Only an element name can be found or created; such a name holds no quote, so it goes
    // into the query's apostrophe-quoted literal as it is.
    if (!IsElementName(strName)) return nullptr;
    const std::optional<std::string> name = platform::WideToUtf8(strName);
    if (!name) return nullptr;
    pugi::xml_node found;
    try {
        const std::string query = "*[local-name(.) = '" + *name + "']";
        found = m_node.select_node(query.c_str()).node();
    } catch (const std::exception&) {
        return nullptr;
    }
    if (!found && bCreate) found = m_node.append_child(name->c_str());
    if (!found) return nullptr;
    return std::make_shared<CXmlNode>(m_pDoc, found);
}

std::wstring CXmlNode::GetValue() const {
    // Iterative walk: a hostile file may nest elements deeper than the stack allows.
    std::string text;
    pugi::xml_node node = m_node.first_child();
    while (node) {
        if (node.type() == pugi::node_pcdata || node.type() == pugi::node_cdata) text += node.value();
        if (node.first_child()) {
            node = node.first_child();
            continue;
        }
        while (node && node != m_node && !node.next_sibling()) node = node.parent();
        if (!node || node == m_node) break;
        node = node.next_sibling();
    }
    return platform::Utf8ToWide(text);
}

void CXmlNode::SetValue(const std::wstring& strText) {
    std::wstring clean;
    clean.reserve(strText.size());
    for (wchar_t c : strText)
        if (IsXmlChar(static_cast<char32_t>(c))) clean.push_back(c);
    RemoveChildren(m_node);
    if (clean.empty()) return;
    // Every remaining code point is a Unicode scalar value, so the conversion cannot fail.
    const std::optional<std::string> utf8 = platform::WideToUtf8(clean);
    if (utf8) m_node.append_child(pugi::node_pcdata).set_value(utf8->c_str());
}

bool CXml::Open(const std::wstring& strPath) {
    m_pDoc.reset();
    const std::optional<fs::path> path = platform::ToPath(strPath);
    std::error_code ec;
    if (!path || !fs::is_regular_file(*path, ec)) return false;
    std::ifstream in(*path, std::ios::binary);
    if (!in) return false;
    const std::string bytes{std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
    if (in.bad()) return false;
    if (!Parse(bytes)) return false;
    m_strPath = strPath;
    return true;
}

bool CXml::Parse(std::string_view bytes) {
    m_pDoc.reset();
    if (bytes.empty()) return false;
    auto pDoc = std::make_shared<pugi::xml_document>();
    const pugi::xml_parse_result result =
        pDoc->load_buffer(bytes.data(), bytes.size(), kParseOptions, pugi::encoding_auto);
    if (!result) return false;
    // pugixml accepts several top-level elements; a DOM document has exactly one.
    int elements = 0;
    for (pugi::xml_node child : pDoc->children())
        if (child.type() == pugi::node_element) ++elements;
    if (elements != 1) return false;
    m_pDoc = std::move(pDoc);
    return true;
}

CXmlNodePtr CXml::GetRoot() const {
    if (!m_pDoc) return nullptr;
    const pugi::xml_node root = m_pDoc->document_element();
    if (!root) return nullptr;
    return std::make_shared<CXmlNode>(m_pDoc, root);
}

bool CXml::Save(const std::wstring& strPath) {
    if (!m_pDoc) return false;
    // The bytes are always UTF-8, so the declaration is rewritten to say just that. The next
    // load guesses the encoding from the declaration's text, and any other attribute (a
    // stray "versionencoding", or a version value holding "encoding='latin1'") could name
    // another encoding and make it misread every non-ASCII character.
    for (pugi::xml_node child : m_pDoc->children()) {
        if (child.type() != pugi::node_declaration) continue;
        while (child.first_attribute()) child.remove_attribute(child.first_attribute());
        child.append_attribute("version").set_value("1.0");
        child.append_attribute("encoding").set_value("utf-8");
    }
    CStringWriter writer;
    const unsigned format = Depth(*m_pDoc) <= kMaxIndentedDepth ? pugi::format_default : pugi::format_raw;
    m_pDoc->save(writer, "\t", format, pugi::encoding_utf8);
    if (!ReplaceFile(strPath, writer.m_str)) return false;
    m_strPath = strPath;
    return true;
}

bool IsElementName(std::wstring_view strName) {
    if (strName.empty() || !IsNameStartChar(static_cast<char32_t>(strName.front()))) return false;
    for (wchar_t c : strName)
        if (!IsNameChar(static_cast<char32_t>(c))) return false;
    return true;
}

bool ReplaceFile(const std::wstring& strPath, std::string_view bytes) {
    const std::optional<fs::path> given = platform::ToPath(strPath);
    if (!given || given->empty()) return false;
    std::error_code ec;
    fs::path target = *given;
    if (fs::is_symlink(target, ec)) {
        target = fs::weakly_canonical(target, ec);
        if (ec) return false;
    }
    if (!target.has_filename()) return false;
    const fs::path folder = target.has_parent_path() ? target.parent_path() : fs::path(".");

    // A name no other writer uses: this process's id and a counter, retried on a clash
    // with a leftover of an earlier run.
    static std::atomic<unsigned> counter{0};
    fs::path temp;
    int fd = -1;
    for (int attempt = 0; attempt < 100 && fd < 0; ++attempt) {
        temp = folder / (target.filename().string() + ".tmp-" + std::to_string(::getpid()) + "-" +
                         std::to_string(counter++));
        fd = ::open(temp.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
        if (fd < 0 && errno != EEXIST) return false;
    }
    if (fd < 0) return false;

    struct stat old {};
    bool ok = WriteAll(fd, bytes);
    if (ok && ::stat(target.c_str(), &old) == 0 && S_ISREG(old.st_mode)) ok = ::fchmod(fd, old.st_mode & 07777) == 0;
    if (ok) ok = ::fsync(fd) == 0;
    if (::close(fd) != 0) ok = false;
    if (ok) ok = ::rename(temp.c_str(), target.c_str()) == 0;
    if (!ok) ::unlink(temp.c_str());
    return ok;
}

}  // namespace DornXml
