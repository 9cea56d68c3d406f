// A SAX2 pass with the library's locator. The reader is our own subclass
// so that it sees each error's code: only the code tells a repeated
// attribute apart from other fatal errors, whose messages vary.
#include "checker/DocumentScan.h"

#include <xercesc/framework/XMLErrorCodes.hpp>
#include <xercesc/parsers/SAX2XMLReaderImpl.hpp>
#include <xercesc/sax/Locator.hpp>
#include <xercesc/sax2/DefaultHandler.hpp>
#include <xercesc/util/XMLString.hpp>
#include <xercesc/util/XMLUni.hpp>

namespace checker {

namespace {

std::string narrow(const XMLCh* text) {
  char* transcoded = xercesc::XMLString::transcode(text);
  std::string result = transcoded ? transcoded : "";
  xercesc::XMLString::release(&transcoded);
  return result;
}

Position positionOf(XMLFileLoc line, XMLFileLoc column) {
  return Position{static_cast<std::size_t>(line), static_cast<std::size_t>(column)};
}

// Records the start of every element outside entity expansions: the DOM
// keeps an entity reference as a node of its own, which the program's tree
// drops with everything inside it.
class ElementStartRecorder : public xercesc::DefaultHandler {
 public:
  explicit ElementStartRecorder(std::vector<Position>& starts) : starts_(starts) {}

  void setDocumentLocator(const xercesc::Locator* const locator) override { locator_ = locator; }

  void startElement(const XMLCh* const, const XMLCh* const, const XMLCh* const,
                    const xercesc::Attributes&) override {
    if (entityDepth_ == 0 && locator_) {
      starts_.push_back(positionOf(locator_->getLineNumber(), locator_->getColumnNumber()));
    }
  }

  void startEntity(const XMLCh* const) override { ++entityDepth_; }
  void endEntity(const XMLCh* const) override { --entityDepth_; }

 private:
  std::vector<Position>& starts_;
  const xercesc::Locator* locator_ = nullptr;
  int entityDepth_ = 0;
};

// Keeps the first fatal error; the scanner stops after it all the same (the
// error handler's fatalError throws).
class ScanningReader : public xercesc::SAX2XMLReaderImpl {
 public:
  void error(const unsigned int code, const XMLCh* const domain, const xercesc::XMLErrorReporter::ErrTypes type,
             const XMLCh* const text, const XMLCh* const systemId, const XMLCh* const publicId,
             const XMLFileLoc line, const XMLFileLoc column) override {
    if (type == xercesc::XMLErrorReporter::ErrType_Fatal && !failure_) {
      bool repeated = xercesc::XMLString::equals(domain, xercesc::XMLUni::fgXMLErrDomain) &&
                      code == xercesc::XMLErrs::AttrAlreadyUsedInSTag;
      failure_ = ParseFailure{positionOf(line, column), narrow(text), repeated};
    }
    SAX2XMLReaderImpl::error(code, domain, type, text, systemId, publicId, line, column);
  }

  const std::optional<ParseFailure>& failure() const { return failure_; }

 private:
  std::optional<ParseFailure> failure_;
};

}  // namespace

DocumentScan scanDocument(const std::string& fileName) {
  DocumentScan scan;
  ElementStartRecorder recorder(scan.elementStarts);
  ScanningReader reader;
  // The XML manager's parser: namespaces on, no validation.
  reader.setFeature(xercesc::XMLUni::fgSAX2CoreNameSpaces, true);
  reader.setFeature(xercesc::XMLUni::fgSAX2CoreValidation, false);
  reader.setContentHandler(&recorder);
  reader.setLexicalHandler(&recorder);
  // Without an error handler the reader gives the scanner no error
  // reporter, and errors would never reach ScanningReader::error.
  reader.setErrorHandler(&recorder);
  try {
    reader.parse(fileName.c_str());
  } catch (...) {
    // What could not be read at all the manager has already refused.
  }
  scan.failure = reader.failure();
  return scan;
}

}  // namespace checker
