// The Xerces-C we build makes its expression ranges, its built-in schema
// types and its list of encoding names when first asked for, not when it
// starts. Each row is validated right after a fresh start, so a part that
// was no longer made at all would fail here or crash.
#include <gtest/gtest.h>

#include <xercesc/parsers/XercesDOMParser.hpp>
#include <xercesc/sax/HandlerBase.hpp>
#include <xercesc/util/PlatformUtils.hpp>

#include <string>

#include "XMLTestSupport.h"

namespace {

struct CountingErrors : xercesc::HandlerBase {
  int count = 0;
  void error(const xercesc::SAXParseException&) override { ++count; }
  void fatalError(const xercesc::SAXParseException&) override { ++count; }
};

const char kSchema[] = R"(<?xml version="1.0"?>
<xs:schema xmlns:xs="http://www.w3.org/2001/XMLSchema">
  <xs:element name="root"><xs:complexType><xs:sequence>
    <xs:element name="count" type="xs:nonNegativeInteger"/>
    <xs:element name="flag" type="xs:boolean"/>
    <xs:element name="code"><xs:simpleType><xs:restriction base="xs:string">
      <xs:pattern value="\w+\d\p{Lu}"/>
    </xs:restriction></xs:simpleType></xs:element>
  </xs:sequence></xs:complexType></xs:element>
</xs:schema>)";

struct Row {
  const char* what;
  const char* count;
  const char* flag;
  const char* code;
  int errors;
};

const Row kRows[] = {
    {"every value valid", "3", "true", "ab1Z", 0},
    {"a negative count (a built-in type)", "-3", "true", "ab1Z", 1},
    {"a flag that is no boolean", "3", "maybe", "ab1Z", 1},
    {"a code without its upper-case letter (a Unicode category)", "3", "true", "ab1z", 1},
};

class XercesOnDemand : public xmltest::XMLFileTest, public ::testing::WithParamInterface<Row> {};

TEST_P(XercesOnDemand, ValidatesRightAfterAFreshStart) {
  const Row& row = GetParam();
  xmltest::writeFile("schema.xsd", kSchema);
  xmltest::writeFile("document.xml",
                     std::string("<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n") +
                         "<root xmlns:xsi=\"http://www.w3.org/2001/XMLSchema-instance\" "
                         "xsi:noNamespaceSchemaLocation=\"schema.xsd\"><count>" +
                         row.count + "</count><flag>" + row.flag + "</flag><code>" + row.code + "</code></root>");
  // Held to IANA's names, the parser asks for the list of them.
  xercesc::XMLPlatformUtils::strictIANAEncoding(true);
  CountingErrors errors;
  {
    xercesc::XercesDOMParser parser;
    parser.setErrorHandler(&errors);
    parser.setValidationScheme(xercesc::XercesDOMParser::Val_Always);
    parser.setDoNamespaces(true);
    parser.setDoSchema(true);
    parser.parse("document.xml");
  }
  xercesc::XMLPlatformUtils::strictIANAEncoding(false);
  EXPECT_EQ(row.errors, errors.count) << row.what << ": expected " << row.errors << " errors, got " << errors.count;
}

INSTANTIATE_TEST_SUITE_P(Rows, XercesOnDemand, ::testing::ValuesIn(kRows));

}  // namespace
