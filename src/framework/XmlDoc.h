#pragma once
// The XML document every project, settings and job file goes through.
//
// Reading follows the rules the project files were always read by: the root
// is the first element among the top-level nodes, child elements are looked up
// by exact name (first match), and an element whose text cannot be taken
// (child elements, or more than one text part) makes the caller use its
// default. Writing produces one fixed form: no declaration, no indentation,
// UTF-8, and the file is replaced atomically.

#include "framework/System.h"

#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

class TXmlDocument;

struct TXmlAttribute {
    String Name;
    String Value;
};

enum class TXmlNodeKind { Null, Element, Text, Comment, ProcessingInstruction, Declaration, Other };

// A light handle to a node of a document; valid while the document lives and
// the node is not removed. A null handle answers every query with "nothing".
class TXmlNode {
public:
    TXmlNode() = default;

    bool IsNull() const { return node_ == nullptr; }
    explicit operator bool() const { return node_ != nullptr; }
    TXmlNodeKind Kind() const;
    String NodeName() const;  // element name, empty for other kinds

    // Child elements only: text, whitespace and comment nodes never count.
    int ChildCount() const;
    TXmlNode Child(int index) const;  // null when out of range
    std::vector<TXmlNode> Children() const;
    TXmlNode ChildNode(std::u16string_view name) const;  // first child element of that exact name
    // Every child node in document order: elements, text parts (a blank
    // text between elements is not kept), comments, processing instructions.
    std::vector<TXmlNode> ChildNodes() const;
    // The text of the node and of everything beneath it, joined in document
    // order, entities decoded; comments and instructions give nothing.
    String InnerText() const;

    // The element's text. False when it cannot be taken (child elements or
    // more than one text part); an empty element gives true and "".
    bool TryText(String& text) const;
    String Text(const String& defaultText = String()) const;  // default when it cannot be taken or the node is null

    bool HasAttribute(std::u16string_view name) const;
    std::optional<String> Attribute(std::u16string_view name) const;  // nullopt = missing, "" = present but empty
    String AttributeOr(std::u16string_view name, const String& defaultText) const;
    std::vector<TXmlAttribute> Attributes() const;  // in document order

    // Building.
    TXmlNode AddChild(std::u16string_view name);
    TXmlNode AddChild(std::u16string_view name, std::u16string_view text);
    void SetText(std::u16string_view text);  // replaces every text part
    void SetAttribute(std::u16string_view name, std::u16string_view value);
    void RemoveChild(TXmlNode child);

    bool operator==(const TXmlNode& other) const { return node_ == other.node_; }

private:
    friend class TXmlDocument;
    friend struct TXmlAccess;
    explicit TXmlNode(void* node) : node_(node) {}
    void* node_ = nullptr;
};

class TXmlDocument {
public:
    TXmlDocument();
    ~TXmlDocument();
    TXmlDocument(const TXmlDocument&) = delete;
    TXmlDocument& operator=(const TXmlDocument&) = delete;

    // Loading replaces the content. A file that cannot be read raises
    // EFOpenError; a malformed document raises EXmlError whose message names
    // the problem and the line, also given as its Line and Code.
    void LoadFromFile(const String& path);
    void LoadFromUtf8(std::string_view bytes);
    void LoadFromString(std::u16string_view xml);

    void Clear();
    std::vector<TXmlNode> TopLevelNodes() const;
    TXmlNode DocumentElement() const;  // first element among the top-level nodes; null when none

    // Clears the document and adds the root element.
    TXmlNode CreateRoot(std::u16string_view name);
    // A comment node at document level, after the nodes already there.
    void AddComment(std::u16string_view text);

    // The fixed output form: no declaration, no indentation, UTF-8, empty
    // elements as <Name/>, each top-level node followed by CR LF (so the
    // file ends with one CR LF), e.g. "<Par_Gen><A>1</A></Par_Gen>\r\n<!--v-->\r\n".
    std::string SaveToUtf8() const;
    // Written whole through a temporary file and a rename: a failed write
    // raises EFCreateError and leaves the old file in place.
    void SaveToFile(const String& path) const;

private:
    struct Impl;
    std::unique_ptr<Impl> impl_;
};
