#include "framework/XmlDoc.h"

#include "framework/Encoding.h"
#include "framework/Files.h"

#include <pugixml.hpp>

#include <algorithm>
#include <atomic>
#include <cctype>
#include <cstring>

namespace {

constexpr unsigned kParseOptions = pugi::parse_default | pugi::parse_declaration | pugi::parse_comments |
                                   pugi::parse_pi | pugi::parse_ws_pcdata_single;
constexpr unsigned kFormat = pugi::format_raw | pugi::format_no_declaration;

pugi::xml_node Wrap(void* p) { return pugi::xml_node(static_cast<pugi::xml_node_struct*>(p)); }

bool IsText(const pugi::xml_node& n) {
    return n.type() == pugi::node_pcdata || n.type() == pugi::node_cdata;
}

std::string Utf8(std::u16string_view s) { return StringToUtf8(s); }

// Positional access to child elements is cached per thread so that the
// habitual loop "for i in 0 .. ChildCount-1: Child(i)" over a table of many
// rows stays linear. Every change to any document bumps the generation, which
// makes every cache stale.
std::atomic<unsigned long> g_generation{1};

struct ChildCache {
    pugi::xml_node_struct* parent = nullptr;
    int count = -1;
    int index = -1;
    pugi::xml_node_struct* node = nullptr;
};

// A few parents at once, so nested loops (rows, then each row's cells) keep
// their positions.
struct ChildCaches {
    static constexpr int kSlots = 8;
    unsigned long generation = 0;
    ChildCache slots[kSlots];
    int nextSlot = 0;
};
thread_local ChildCaches t_caches;

void Invalidate() { g_generation.fetch_add(1, std::memory_order_relaxed); }

ChildCache& CacheFor(pugi::xml_node_struct* parent) {
    const unsigned long gen = g_generation.load(std::memory_order_relaxed);
    if (t_caches.generation != gen) t_caches = ChildCaches{gen, {}, 0};
    for (ChildCache& c : t_caches.slots)
        if (c.parent == parent) return c;
    ChildCache& slot = t_caches.slots[t_caches.nextSlot];
    t_caches.nextSlot = (t_caches.nextSlot + 1) % ChildCaches::kSlots;
    slot = ChildCache{};
    slot.parent = parent;
    return slot;
}

pugi::xml_node NextElement(pugi::xml_node n) {
    while (n && n.type() != pugi::node_element) n = n.next_sibling();
    return n;
}

// The line of a byte offset, counted from 1.
int LineAt(std::string_view text, std::ptrdiff_t offset) {
    const auto end = text.begin() + std::clamp<std::ptrdiff_t>(offset, 0, static_cast<std::ptrdiff_t>(text.size()));
    return 1 + static_cast<int>(std::count(text.begin(), end, '\n'));
}

std::string Lower(std::string s) {
    for (char& c : s) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    return s;
}

// The encoding named by an XML declaration at the start of bytes, lower case;
// empty when there is none.
std::string DeclaredEncoding(std::string_view bytes) {
    if (bytes.substr(0, 5) != "<?xml") return {};
    const std::size_t end = bytes.find("?>");
    const std::string_view decl = bytes.substr(0, end);
    const std::size_t at = decl.find("encoding");
    if (at == std::string_view::npos) return {};
    std::size_t i = at + 8;
    while (i < decl.size() && (decl[i] == ' ' || decl[i] == '\t' || decl[i] == '\r' || decl[i] == '\n' || decl[i] == '='))
        ++i;
    if (i >= decl.size() || (decl[i] != '"' && decl[i] != '\'')) return {};
    const char quote = decl[i];
    const std::size_t close = decl.find(quote, i + 1);
    if (close == std::string_view::npos) return {};
    return Lower(std::string(decl.substr(i + 1, close - i - 1)));
}

// Any file content as UTF-8: a byte-order mark or the UTF-16 form of "<"
// selects UTF-16, a declaration may name Windows-1252 or Latin-1, anything
// else is taken as UTF-8.
std::string ToUtf8(std::string_view bytes) {
    if (bytes.size() >= 3 && bytes.substr(0, 3) == "\xEF\xBB\xBF") return std::string(bytes.substr(3));
    if (bytes.size() >= 2 && bytes.substr(0, 2) == "\xFF\xFE") return StringToUtf8(Utf16LEToString(bytes.substr(2)));
    if (bytes.size() >= 2 && bytes.substr(0, 2) == "\xFE\xFF") return StringToUtf8(Utf16BEToString(bytes.substr(2)));
    if (bytes.size() >= 2 && bytes[0] == '<' && bytes[1] == '\0') return StringToUtf8(Utf16LEToString(bytes));
    if (bytes.size() >= 2 && bytes[0] == '\0' && bytes[1] == '<') return StringToUtf8(Utf16BEToString(bytes));
    const std::string declared = DeclaredEncoding(bytes);
    if (declared == "windows-1252" || declared == "cp1252") return StringToUtf8(Windows1252ToString(bytes));
    if (declared == "iso-8859-1" || declared == "latin1" || declared == "latin-1")
        return StringToUtf8(Latin1ToString(bytes));
    return std::string(bytes);
}

// Collects the output. A carriage return inside a value is written as a
// character reference: the reader turns raw CR LF into LF, and a text typed
// with CR LF must come back as it was. Inside elements every CR met here
// belongs to a text (the raw form writes no line breaks of its own; the
// reader already turned those of comments and CDATA into LF, and AddComment
// does the same), so top-level nodes other than elements are written as they are.
struct StringWriter : pugi::xml_writer {
    std::string out;
    bool escapeCr = true;
    void write(const void* data, size_t size) override {
        std::string_view chunk(static_cast<const char*>(data), size);
        if (escapeCr) {
            for (std::size_t cr; (cr = chunk.find('\r')) != std::string_view::npos; chunk.remove_prefix(cr + 1)) {
                out.append(chunk.substr(0, cr));
                out += "&#13;";
            }
        }
        out.append(chunk);
    }
};

// Comment text with LF line ends only (see StringWriter).
std::string CommentText(std::u16string_view text) {
    std::string s = StringToUtf8(text);
    std::string out;
    out.reserve(s.size());
    for (std::size_t i = 0; i < s.size(); ++i) {
        if (s[i] == '\r') {
            out += '\n';
            if (i + 1 < s.size() && s[i + 1] == '\n') ++i;
        } else {
            out += s[i];
        }
    }
    return out;
}

}  // namespace

struct TXmlDocument::Impl {
    pugi::xml_document doc;
    void Parse(std::string_view utf8, const String& source);
};

void TXmlDocument::Impl::Parse(std::string_view utf8, const String& source) {
    Invalidate();
    const pugi::xml_parse_result result = doc.load_buffer(utf8.data(), utf8.size(), kParseOptions, pugi::encoding_utf8);
    if (result) return;
    doc.reset();
    String message = u"Error in XML document";
    if (!source.empty()) message += u" \"" + source + u"\"";
    message += u": " + Utf8ToString(result.description());
    const int line = static_cast<int>(LineAt(utf8, result.offset));
    message += u" at line " + Utf8ToString(std::to_string(line));
    throw EXmlError(message, line, static_cast<int>(result.status));
}

// ---- TXmlNode ----

TXmlNodeKind TXmlNode::Kind() const {
    switch (Wrap(node_).type()) {
        case pugi::node_null: return TXmlNodeKind::Null;
        case pugi::node_element: return TXmlNodeKind::Element;
        case pugi::node_pcdata:
        case pugi::node_cdata: return TXmlNodeKind::Text;
        case pugi::node_comment: return TXmlNodeKind::Comment;
        case pugi::node_pi: return TXmlNodeKind::ProcessingInstruction;
        case pugi::node_declaration: return TXmlNodeKind::Declaration;
        default: return TXmlNodeKind::Other;
    }
}

String TXmlNode::NodeName() const {
    const pugi::xml_node n = Wrap(node_);
    return n.type() == pugi::node_element ? Utf8ToString(n.name()) : String();
}

int TXmlNode::ChildCount() const {
    if (!node_) return 0;
    ChildCache& cache = CacheFor(static_cast<pugi::xml_node_struct*>(node_));
    if (cache.count < 0) {
        int count = 0;
        for (pugi::xml_node c = Wrap(node_).first_child(); c; c = c.next_sibling())
            if (c.type() == pugi::node_element) ++count;
        cache.count = count;
    }
    return cache.count;
}

TXmlNode TXmlNode::Child(int index) const {
    if (!node_ || index < 0) return TXmlNode();
    ChildCache& cache = CacheFor(static_cast<pugi::xml_node_struct*>(node_));
    pugi::xml_node n;
    int at = 0;
    if (cache.node && cache.index <= index) {
        n = pugi::xml_node(cache.node);
        at = cache.index;
    } else {
        n = NextElement(Wrap(node_).first_child());
    }
    while (n && at < index) {
        n = NextElement(n.next_sibling());
        ++at;
    }
    if (!n) return TXmlNode();
    cache.node = n.internal_object();
    cache.index = index;
    return TXmlNode(n.internal_object());
}

std::vector<TXmlNode> TXmlNode::Children() const {
    std::vector<TXmlNode> list;
    for (pugi::xml_node c = Wrap(node_).first_child(); c; c = c.next_sibling())
        if (c.type() == pugi::node_element) list.push_back(TXmlNode(c.internal_object()));
    return list;
}

TXmlNode TXmlNode::ChildNode(std::u16string_view name) const {
    if (!node_) return TXmlNode();
    const std::string key = Utf8(name);
    for (pugi::xml_node c = Wrap(node_).first_child(); c; c = c.next_sibling())
        if (c.type() == pugi::node_element && key == c.name()) return TXmlNode(c.internal_object());
    return TXmlNode();
}

std::vector<TXmlNode> TXmlNode::ChildNodes() const {
    std::vector<TXmlNode> list;
    for (pugi::xml_node c = Wrap(node_).first_child(); c; c = c.next_sibling())
        if (c.type() != pugi::node_declaration && c.type() != pugi::node_doctype) list.push_back(TXmlNode(c.internal_object()));
    return list;
}

namespace {
void CollectText(const pugi::xml_node& n, std::string& out) {
    if (IsText(n)) {
        out += n.value();
        return;
    }
    for (pugi::xml_node c = n.first_child(); c; c = c.next_sibling())
        if (IsText(c) || c.type() == pugi::node_element) CollectText(c, out);
}
}  // namespace

String TXmlNode::InnerText() const {
    std::string out;
    CollectText(Wrap(node_), out);
    return Utf8ToString(out);
}

std::vector<TXmlAttribute> TXmlNode::Attributes() const {
    std::vector<TXmlAttribute> list;
    for (pugi::xml_attribute a = Wrap(node_).first_attribute(); a; a = a.next_attribute())
        list.push_back({Utf8ToString(a.name()), Utf8ToString(a.value())});
    return list;
}

bool TXmlNode::TryText(String& text) const {
    const pugi::xml_node n = Wrap(node_);
    if (!n) return false;
    if (n.type() != pugi::node_element) {
        if (n.type() == pugi::node_document) return false;
        text = Utf8ToString(n.value());
        return true;
    }
    pugi::xml_node part;
    for (pugi::xml_node c = n.first_child(); c; c = c.next_sibling()) {
        if (c.type() == pugi::node_element) return false;
        if (IsText(c)) {
            if (part) return false;
            part = c;
        }
    }
    text = part ? Utf8ToString(part.value()) : String();
    return true;
}

String TXmlNode::Text(const String& defaultText) const {
    String text;
    return TryText(text) ? text : defaultText;
}

bool TXmlNode::HasAttribute(std::u16string_view name) const {
    return Wrap(node_).attribute(Utf8(name).c_str()) ? true : false;
}

std::optional<String> TXmlNode::Attribute(std::u16string_view name) const {
    const pugi::xml_attribute a = Wrap(node_).attribute(Utf8(name).c_str());
    if (!a) return std::nullopt;
    return Utf8ToString(a.value());
}

String TXmlNode::AttributeOr(std::u16string_view name, const String& defaultText) const {
    return Attribute(name).value_or(defaultText);
}

TXmlNode TXmlNode::AddChild(std::u16string_view name) {
    pugi::xml_node n = Wrap(node_);
    if (n.type() != pugi::node_element) return TXmlNode();
    Invalidate();
    pugi::xml_node child = n.append_child(pugi::node_element);
    child.set_name(Utf8(name).c_str());
    return TXmlNode(child.internal_object());
}

TXmlNode TXmlNode::AddChild(std::u16string_view name, std::u16string_view text) {
    TXmlNode child = AddChild(name);
    child.SetText(text);
    return child;
}

void TXmlNode::SetText(std::u16string_view text) {
    pugi::xml_node n = Wrap(node_);
    if (n.type() != pugi::node_element) {
        if (n && n.type() != pugi::node_document) n.set_value(Utf8(text).c_str());
        return;
    }
    Invalidate();
    for (pugi::xml_node c = n.first_child(); c;) {
        const pugi::xml_node next = c.next_sibling();
        if (IsText(c)) n.remove_child(c);
        c = next;
    }
    // An empty text leaves no text node, so the element is written as <Name/>.
    if (!text.empty()) n.prepend_child(pugi::node_pcdata).set_value(Utf8(text).c_str());
}

void TXmlNode::SetAttribute(std::u16string_view name, std::u16string_view value) {
    pugi::xml_node n = Wrap(node_);
    if (n.type() != pugi::node_element) return;
    const std::string key = Utf8(name);
    pugi::xml_attribute a = n.attribute(key.c_str());
    if (!a) a = n.append_attribute(key.c_str());
    a.set_value(Utf8(value).c_str());
}

void TXmlNode::RemoveChild(TXmlNode child) {
    pugi::xml_node n = Wrap(node_);
    const pugi::xml_node c = Wrap(child.node_);
    if (!n || !c || c.parent() != n) return;
    Invalidate();
    n.remove_child(c);
}

// ---- TXmlDocument ----

TXmlDocument::TXmlDocument() : impl_(std::make_unique<Impl>()) {}

TXmlDocument::~TXmlDocument() { Invalidate(); }

void TXmlDocument::LoadFromFile(const String& path) {
    const std::string utf8 = ToUtf8(ReadFileBytes(path));
    impl_->Parse(utf8, path);
}

void TXmlDocument::LoadFromUtf8(std::string_view bytes) {
    if (bytes.substr(0, 3) == "\xEF\xBB\xBF") bytes.remove_prefix(3);
    impl_->Parse(bytes, String());
}

void TXmlDocument::LoadFromString(std::u16string_view xml) {
    if (!xml.empty() && xml.front() == u'\uFEFF') xml.remove_prefix(1);
    impl_->Parse(StringToUtf8(xml), String());
}

void TXmlDocument::Clear() {
    Invalidate();
    impl_->doc.reset();
}

std::vector<TXmlNode> TXmlDocument::TopLevelNodes() const {
    std::vector<TXmlNode> list;
    for (pugi::xml_node c = impl_->doc.first_child(); c; c = c.next_sibling()) list.push_back(TXmlNode(c.internal_object()));
    return list;
}

TXmlNode TXmlDocument::DocumentElement() const {
    const pugi::xml_node root = impl_->doc.document_element();
    return root ? TXmlNode(root.internal_object()) : TXmlNode();
}

TXmlNode TXmlDocument::CreateRoot(std::u16string_view name) {
    Clear();
    pugi::xml_node root = impl_->doc.append_child(pugi::node_element);
    root.set_name(Utf8(name).c_str());
    return TXmlNode(root.internal_object());
}

void TXmlDocument::AddComment(std::u16string_view text) {
    Invalidate();
    impl_->doc.append_child(pugi::node_comment).set_value(CommentText(text).c_str());
}

std::string TXmlDocument::SaveToUtf8() const {
    StringWriter writer;
    for (pugi::xml_node c = impl_->doc.first_child(); c; c = c.next_sibling()) {
        writer.escapeCr = c.type() == pugi::node_element;
        c.print(writer, "", kFormat, pugi::encoding_utf8);
        writer.out += "\r\n";
    }
    return std::move(writer.out);
}

void TXmlDocument::SaveToFile(const String& path) const { WriteFileAtomic(path, SaveToUtf8()); }
