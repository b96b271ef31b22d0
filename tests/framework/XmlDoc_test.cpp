#include "framework/XmlDoc.h"

#include "support/TempDir.h"

#include <gtest/gtest.h>

#include <filesystem>

namespace {
String P(const std::string& utf8) { return Utf8ToString(utf8); }
}  // namespace

TEST(XmlDoc, RootIsTheFirstElementWhateverComesBefore) {
    struct Case { const char* name; std::string xml; size_t topLevel; TXmlNodeKind first; } cases[] = {
        {"plain", "<Conf_Settings><a>1</a></Conf_Settings>", 1, TXmlNodeKind::Element},
        {"declaration", "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\r\n<Conf_Settings><a>1</a></Conf_Settings>", 2,
         TXmlNodeKind::Declaration},
        {"comment", "<!-- saved by hand -->\n<Conf_Settings><a>1</a></Conf_Settings>\n<!--v-->", 3,
         TXmlNodeKind::Comment},
        {"instruction", "<?style x?><Conf_Settings><a>1</a></Conf_Settings>", 2,
         TXmlNodeKind::ProcessingInstruction},
    };
    for (const auto& c : cases) {
        TXmlDocument doc;
        doc.LoadFromUtf8(c.xml);
        const auto top = doc.TopLevelNodes();
        ASSERT_EQ(top.size(), c.topLevel) << c.name;
        EXPECT_EQ(top[0].Kind(), c.first) << c.name;
        const TXmlNode root = doc.DocumentElement();
        EXPECT_EQ(root.NodeName(), u"Conf_Settings") << c.name;
        EXPECT_EQ(root.ChildNode(u"a").Text(), u"1") << c.name;
    }
}

TEST(XmlDoc, TextIsTakenOnlyFromASingleTextPart) {
    TXmlDocument doc;
    doc.LoadFromUtf8(
        "<r><a>1</a><b/><c></c><d>x<y/></d><e>t<!--c-->u</e><f>t<![CDATA[u]]></f>"
        "<g><![CDATA[<z>]]></g><h> 1 </h><i>  <x/>  </i><j> </j><k>&lt;&amp;&#x20AC;</k><l><!--only--></l></r>");
    struct Case { const char16_t* name; bool takeable; String text; } cases[] = {
        {u"a", true, u"1"},      {u"b", true, u""},        {u"c", true, u""},
        {u"d", false, u""},      {u"e", false, u""},       {u"f", false, u""},
        {u"g", true, u"<z>"},    {u"h", true, u" 1 "},     {u"i", false, u""},
        {u"j", true, u" "},  // a blank value survives; blanks between elements are dropped
        {u"k", true, u"<&\u20AC"}, {u"l", true, u""},
    };
    const TXmlNode root = doc.DocumentElement();
    for (const auto& c : cases) {
        const TXmlNode n = root.ChildNode(c.name);
        ASSERT_FALSE(n.IsNull()) << StringToUtf8(c.name);
        String text = u"unchanged";
        EXPECT_EQ(n.TryText(text), c.takeable) << StringToUtf8(c.name);
        EXPECT_EQ(n.Text(u"default"), c.takeable ? c.text : String(u"default")) << StringToUtf8(c.name);
    }
    EXPECT_EQ(root.ChildNode(u"missing").Text(u"default"), u"default");
    EXPECT_EQ(root.ChildNode(u"missing").ChildNode(u"a").ChildCount(), 0);
}

TEST(XmlDoc, AttributeMissingDiffersFromEmpty) {
    TXmlDocument doc;
    doc.LoadFromUtf8("<r><row id=\"7\" name=\"\"/></r>");
    const TXmlNode row = doc.DocumentElement().Child(0);
    EXPECT_EQ(row.Attribute(u"id"), std::optional<String>(u"7"));
    EXPECT_EQ(row.Attribute(u"name"), std::optional<String>(u""));
    EXPECT_TRUE(row.HasAttribute(u"name"));
    EXPECT_EQ(row.Attribute(u"Name"), std::nullopt);  // exact case
    EXPECT_FALSE(row.HasAttribute(u"size"));
    EXPECT_EQ(row.AttributeOr(u"size", u"8"), u"8");
    EXPECT_EQ(row.AttributeOr(u"name", u"x"), u"");
}

TEST(XmlDoc, OnlyChildElementsCountInAnIndentedFile) {
    TXmlDocument doc;
    doc.LoadFromUtf8("<r>\r\n  <a>1</a>\r\n  <!-- note -->\r\n  <?pi x?>\r\n  <b>2</b>\r\n  <a>3</a>\r\n</r>\r\n");
    const TXmlNode root = doc.DocumentElement();
    EXPECT_EQ(root.ChildCount(), 3);
    const auto children = root.Children();
    ASSERT_EQ(children.size(), 3u);
    EXPECT_EQ(children[1].NodeName(), u"b");
    EXPECT_EQ(root.Child(2).Text(), u"3");
    EXPECT_TRUE(root.Child(3).IsNull());
    EXPECT_TRUE(root.Child(-1).IsNull());
    EXPECT_EQ(root.ChildNode(u"a").Text(), u"1");  // first match
    EXPECT_TRUE(root.ChildNode(u"B").IsNull());    // exact case
}

TEST(XmlDoc, PositionalAccessFollowsChanges) {
    TXmlDocument doc;
    TXmlNode root = doc.CreateRoot(u"rows");
    for (int i = 0; i < 5; ++i) root.AddChild(u"row", P(std::to_string(i)));
    for (int i = 0; i < root.ChildCount(); ++i) EXPECT_EQ(root.Child(i).Text(), P(std::to_string(i)));
    root.RemoveChild(root.Child(1));
    EXPECT_EQ(root.ChildCount(), 4);
    EXPECT_EQ(root.Child(1).Text(), u"2");
    root.AddChild(u"row", u"5");
    EXPECT_EQ(root.ChildCount(), 5);
    EXPECT_EQ(root.Child(4).Text(), u"5");
    doc.Clear();
    EXPECT_TRUE(doc.DocumentElement().IsNull());
    EXPECT_TRUE(doc.TopLevelNodes().empty());
}

TEST(XmlDoc, SavesTheFixedForm) {
    TXmlDocument doc;
    TXmlNode root = doc.CreateRoot(u"Conf_Settings");
    root.AddChild(u"lastproj").AddChild(u"projectname", u"");
    root.AddChild(u"lastipadd").AddChild(u"ipaddress", u"192.168.2.205");
    TXmlNode row = root.AddChild(u"row");
    row.SetAttribute(u"id", u"1");
    row.SetAttribute(u"name", u"");
    doc.AddComment(u"v");
    // No declaration, no indentation, empty elements as <Name/>, a CR LF after each top-level node.
    EXPECT_EQ(doc.SaveToUtf8(),
              "<Conf_Settings><lastproj><projectname/></lastproj><lastipadd><ipaddress>192.168.2.205</ipaddress>"
              "</lastipadd><row id=\"1\" name=\"\"/></Conf_Settings>\r\n<!--v-->\r\n");

    TempDir dir;
    doc.SaveToFile(P(dir.file("Bridgeform.xml")));
    EXPECT_EQ(dir.read("Bridgeform.xml"), doc.SaveToUtf8());
}

TEST(XmlDoc, LoadedNodesAreWrittenBackUnchanged) {
    TXmlDocument doc;
    doc.LoadFromUtf8("<?xml version=\"1.0\"?>\r\n<?app a\r\nb?>\r\n<!--c\r\nd-->\r\n"
                     "<r a=\"1&amp;2\">\r\n  <x><![CDATA[p\r\nq]]></x>\r\n  <y>&#13;</y>\r\n</r>\r\n");
    EXPECT_EQ(doc.SaveToUtf8(),
              "<?xml version=\"1.0\"?>\r\n<?app a\r\nb?>\r\n<!--c\nd-->\r\n"
              "<r a=\"1&amp;2\"><x><![CDATA[p\nq]]></x><y>&#13;</y></r>\r\n");
}

TEST(XmlDoc, SetTextReplacesEveryTextPart) {
    TXmlDocument doc;
    doc.LoadFromUtf8("<r><a>x<b/>y</a></r>");
    TXmlNode a = doc.DocumentElement().ChildNode(u"a");
    a.SetText(u"z");
    EXPECT_EQ(doc.SaveToUtf8(), "<r><a>z<b/></a></r>\r\n");
    a.RemoveChild(a.ChildNode(u"b"));
    EXPECT_EQ(a.Text(), u"z");
    a.SetText(u"");
    EXPECT_EQ(doc.SaveToUtf8(), "<r><a/></r>\r\n");
}

TEST(XmlDoc, RoundTripsNonAsciiAndEscapedCharacters) {
    const String text = u"<&>\"' \u00E4\u00F6\u00DF \u20AC \U0001F600 a\r\nb\tc";
    const String attr = u"a\"b'<&>\r\n\tc \u00B6";
    TXmlDocument doc;
    TXmlNode root = doc.CreateRoot(u"Daten");
    TXmlNode v = root.AddChild(u"Wert", text);
    v.SetAttribute(u"Name", attr);

    TempDir dir;
    const String path = P(dir.file("x.xml"));
    doc.SaveToFile(path);
    const std::string bytes = dir.read("x.xml");
    EXPECT_NE(bytes.find("&lt;&amp;&gt;"), std::string::npos) << bytes;
    EXPECT_NE(bytes.find("\xE2\x82\xAC"), std::string::npos) << bytes;  // UTF-8, not a character reference

    TXmlDocument back;
    back.LoadFromFile(path);
    EXPECT_EQ(back.SaveToUtf8(), bytes);
    const TXmlNode w = back.DocumentElement().ChildNode(u"Wert");
    EXPECT_EQ(w.Text(), text);
    EXPECT_EQ(w.Attribute(u"Name"), std::optional<String>(attr));
}

TEST(XmlDoc, MalformedDocumentNamesProblemAndLine) {
    TempDir dir;
    dir.write("bad.xml", "<Conf_Settings>\r\n<lastproj>\r\n</lastprj>\r\n</Conf_Settings>\r\n");
    TXmlDocument doc;
    doc.LoadFromUtf8("<a/>");
    try {
        doc.LoadFromFile(P(dir.file("bad.xml")));
        FAIL() << "no exception";
    } catch (const EXmlError& e) {
        const std::string m = StringToUtf8(e.Message());
        EXPECT_EQ(m.rfind("Error in XML document \"" + dir.file("bad.xml") + "\": ", 0), 0u) << m;
        EXPECT_NE(m.find("mismatch at line 3"), std::string::npos) << m;
        EXPECT_EQ(e.Line(), 3);
        EXPECT_NE(e.Code(), 0);
    }
    EXPECT_TRUE(doc.DocumentElement().IsNull());  // nothing half-loaded

    struct Case { std::string xml; const char* line; int lineNumber; } cases[] = {
        {"", "line 1", 1}, {"<!-- only -->", "line 1", 1}, {"<a>\n<b attr=x/>\n</a>", "line 2", 2}, {"<a>\n<b>\n</a>\n", "line 3", 3},
    };
    for (const auto& c : cases) {
        try {
            doc.LoadFromUtf8(c.xml);
            ADD_FAILURE() << "accepted: " << c.xml;
        } catch (const EXmlError& e) {
            EXPECT_NE(StringToUtf8(e.Message()).find(c.line), std::string::npos) << StringToUtf8(e.Message());
            EXPECT_EQ(e.Line(), c.lineNumber) << c.xml;
            EXPECT_NE(e.Code(), 0) << c.xml;
        }
    }
}

TEST(XmlDoc, ChildNodesTextAndAttributesComeInDocumentOrder) {
    TXmlDocument doc;
    doc.LoadFromUtf8("<list>\r\n"
                     "  <rec z=\"1\" a=\"&lt;2&gt;\" m=\"\"/>\r\n"
                     "  <rec>head<b>bold &amp; <i>deep</i></b><!--note-->tail<![CDATA[<raw>]]></rec>\r\n"
                     "  <rec> </rec>\r\n"
                     "</list>\r\n");
    const std::vector<TXmlNode> recs = doc.DocumentElement().ChildNodes();
    ASSERT_EQ(recs.size(), 3u);  // the blanks between the records are no nodes

    const std::vector<TXmlAttribute> attrs = recs[0].Attributes();
    ASSERT_EQ(attrs.size(), 3u);
    const TXmlAttribute expected[] = {{u"z", u"1"}, {u"a", u"<2>"}, {u"m", u""}};
    for (std::size_t i = 0; i < 3; ++i) {
        EXPECT_EQ(attrs[i].Name, expected[i].Name);
        EXPECT_EQ(attrs[i].Value, expected[i].Value);
    }
    EXPECT_TRUE(recs[1].Attributes().empty());

    const std::vector<TXmlNode> parts = recs[1].ChildNodes();
    const TXmlNodeKind kinds[] = {TXmlNodeKind::Text, TXmlNodeKind::Element, TXmlNodeKind::Comment,
                                  TXmlNodeKind::Text, TXmlNodeKind::Text};
    ASSERT_EQ(parts.size(), 5u);
    for (std::size_t i = 0; i < 5; ++i) EXPECT_EQ(parts[i].Kind(), kinds[i]) << i;
    EXPECT_EQ(parts[1].NodeName(), u"b");
    EXPECT_EQ(recs[1].InnerText(), u"headbold & deeptail<raw>");
    EXPECT_EQ(parts[1].InnerText(), u"bold & deep");
    EXPECT_EQ(parts[0].InnerText(), u"head");
    ASSERT_EQ(recs[2].ChildNodes().size(), 1u);  // a lone blank is the element's text
    EXPECT_EQ(recs[2].InnerText(), u" ");
    EXPECT_TRUE(TXmlNode().ChildNodes().empty());
}

TEST(XmlDoc, ReadsFilesInEveryEncodingItMeets) {
    const String expected = u"\u00E9\u20AC";
    struct Case { const char* name; std::string bytes; } cases[] = {
        {"utf-8", "<r>\xC3\xA9\xE2\x82\xAC</r>"},
        {"utf-8 bom", "\xEF\xBB\xBF<r>\xC3\xA9\xE2\x82\xAC</r>"},
        {"utf-16le bom", std::string("\xFF\xFE<\0r\0>\0\xE9\0\xAC\x20<\0/\0r\0>\0", 20)},
        {"utf-16be bom", std::string("\xFE\xFF\0<\0r\0>\0\xE9\x20\xAC\0<\0/\0r\0>", 20)},
        {"utf-16le", std::string("<\0r\0>\0\xE9\0\xAC\x20<\0/\0r\0>\0", 18)},
        {"windows-1252", "<?xml version=\"1.0\" encoding=\"windows-1252\"?><r>\xE9\x80</r>"},
    };
    TempDir dir;
    for (const auto& c : cases) {
        dir.write("e.xml", c.bytes);
        TXmlDocument doc;
        doc.LoadFromFile(P(dir.file("e.xml")));
        EXPECT_EQ(doc.DocumentElement().Text(), expected) << c.name;
    }
    TXmlDocument doc;
    doc.LoadFromString(u"\uFEFF<r>\u00E9\u20AC</r>");
    EXPECT_EQ(doc.DocumentElement().Text(), expected);
}

TEST(XmlDoc, MissingFileRaisesOpenError) {
    TempDir dir;
    TXmlDocument doc;
    EXPECT_THROW(doc.LoadFromFile(P(dir.file("none.xml"))), EFOpenError);
}

TEST(XmlDoc, FailedSaveKeepsTheOldFile) {
    TempDir dir;
    dir.write("ParGen.xml", "<old/>\r\n");
    dir.write("blocker", "a file where a folder should be");
    TXmlDocument doc;
    doc.CreateRoot(u"new");
    EXPECT_THROW(doc.SaveToFile(P(dir.file("blocker/ParGen.xml"))), EFCreateError);
    std::filesystem::create_directory(dir.file("folder.xml"));
    EXPECT_THROW(doc.SaveToFile(P(dir.file("folder.xml"))), EFCreateError);
    EXPECT_EQ(dir.read("ParGen.xml"), "<old/>\r\n");
}
