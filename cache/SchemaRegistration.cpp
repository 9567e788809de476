#include "cache/SchemaRegistration.h"

#include <stdio.h>
#include <string.h>

#include <comdef.h>

#include "cache/CacheFormat.h"
#include "cache/SchemaEntry.h"
#include "cache/SchemaUrn.h"
#include "cache/SharedFiles.h"
#include "dom/XMLDOMAdapterList.h"
#include "errors/XMLDOMPtr.h"
#include "errors/CheckResult.h"
#include "schemas/CreateDocument.h"
#include "schemas/XMLDocument.h"

namespace {

// The sentences of RegisterSchemaFile, as installers have always read them;
// "%s" is the file name.
constexpr char kNoFileName[] =
    "You cant register without a file name rememebr to set the: strSchemaFileName parameter";
constexpr char kDoesNotExist[] = "The file:[%s] Does not exist";
constexpr char kInternalError[] = "Internal error in the module";
constexpr char kAlreadyRegistered[] = "The file:[%s] is already regsitered";
constexpr char kCacheNotParsed[] = "Error in parsing the schema cache file";
constexpr char kCacheNotWritten[] = "Schema cache couln't be updated, writing the fil failed.";
constexpr char kCacheUpdated[] = "Schema cache succesfully updated with [%s]";

// The element name of a new entry.
constexpr OLECHAR kEntryName[] = OLESTR("QZSchema");

// The most bytes a character takes in the system code page.
constexpr size_t kMaxCharacterBytes = 4;

// True when the first length bytes of text are whole characters.
bool IsWholeText(const char* text, size_t length) {
  return length == 0 || MultiByteToWideChar(CP_ACP, MB_ERR_INVALID_CHARS, text, static_cast<int>(length), nullptr, 0) > 0;
}

// Formats the sentence with the file name into the buffer. A sentence that
// does not fit is cut at the buffer, dropping a character that the cut split.
void FormatSentence(char (&sentence)[RESULT_SENTENCE_SIZE], const char* format, const char* fileName) {
  const int length = snprintf(sentence, RESULT_SENTENCE_SIZE, format, fileName);
  if (length < 0 || static_cast<size_t>(length) < RESULT_SENTENCE_SIZE) return;
  size_t end = RESULT_SENTENCE_SIZE - 1;
  for (size_t dropped = 0; dropped + 1 < kMaxCharacterBytes && !IsWholeText(sentence, end); ++dropped) {
    sentence[--end] = '\0';
  }
}

// Formats the sentence, hands it out as a new BSTR when the caller gave a
// place for it, and returns hr; E_OUTOFMEMORY when the BSTR cannot be made.
HRESULT Answer(BSTR* description, char (&sentence)[RESULT_SENTENCE_SIZE], const char* format, const char* fileName,
               HRESULT hr) {
  FormatSentence(sentence, format, fileName);
  if (description == nullptr) return hr;
  try {
    *description = _bstr_t(sentence).Detach();
  } catch (const _com_error& error) {
    return error.Error();
  }
  return hr;
}

// The narrow form of a name; the empty name may have none.
const char* Narrow(const _bstr_t& name) {
  const char* narrow = name;
  return narrow != nullptr ? narrow : "";
}

// Loads the schema cache file into a new document attached to holder, and
// gives the file's path. What the load returns is not looked at: a file that
// is missing or does not parse leaves a document in which nothing is found.
void LoadSchemaCache(CXMLDocument& holder, IXMLDOMDocument2Ptr& document, _bstr_t& cachePath) {
  CheckResult(CreateDocument(&document));
  CheckResult(holder.SetDocument(document));
  holder.LoadFile(cachePath);
}

}  // namespace

HRESULT RegisterSchemaFile(BSTR strSchemaFileName, BSTR* strErrroDescription) {
  char sentence[RESULT_SENTENCE_SIZE] = {};
  if (strSchemaFileName == nullptr) {
    return Answer(strErrroDescription, sentence, kNoFileName, "", S_SCHEMA_FILE_NOT_FOUND);
  }
  try {
    const _bstr_t bstrName(strSchemaFileName, true);
    const char* name = Narrow(bstrName);
    if (!FileExists(name)) return Answer(strErrroDescription, sentence, kDoesNotExist, name, S_SCHEMA_FILE_NOT_FOUND);

    _bstr_t bstrCachePath;
    CheckResult(ResolveSharedFile(SCHEMA_CACHE_RELATIVE_PATH, bstrCachePath));
    char urn[SCHEMA_URN_SIZE];
    MakeSchemaUrn(name, urn);
    CXMLDocument holder;
    IXMLDOMDocument2Ptr pDocument;
    LoadSchemaCache(holder, pDocument, bstrCachePath);

    // Only URNs are compared: the same file name in another directory is
    // already registered.
    if (FindSchemaEntry(urn, pDocument, nullptr)) {
      return Answer(strErrroDescription, sentence, kAlreadyRegistered, name, S_OK);
    }
    CXMLDOMAdapterList lists;
    holder.SelectNodes(SCHEMA_LISTS_XPATH, lists);
    CXMLDOMAdapter* pList = lists.Next();
    if (pList == nullptr) return Answer(strErrroDescription, sentence, kCacheNotParsed, name, E_FAIL);

    // The URN in the system code page, the file name as the caller wrote it.
    CXMLDOMAdapter* pEntry = pList->AddChildElement(kEntryName);
    pEntry->SetAttribute("urn", urn);
    pEntry->SetAttribute("Filename", bstrName);
    if (!holder.SaveFile(bstrCachePath)) return Answer(strErrroDescription, sentence, kCacheNotWritten, name, E_FAIL);
    return Answer(strErrroDescription, sentence, kCacheUpdated, name, S_OK);
  } catch (const _com_error& error) {
    return Answer(strErrroDescription, sentence, kInternalError, "", error.Error());
  }
}

HRESULT UnRegisterSchemaFile(BSTR strSchemaFileName, BSTR* strErrroDescription) {
  if (strSchemaFileName == nullptr) return E_INVALIDARG;
  // The file itself is not looked for: a schema file that was deleted can
  // still be taken out of the cache.
  try {
    _bstr_t bstrCachePath;
    CheckResult(ResolveSharedFile(SCHEMA_CACHE_RELATIVE_PATH, bstrCachePath));
    const _bstr_t bstrName(strSchemaFileName, true);
    char urn[SCHEMA_URN_SIZE];
    MakeSchemaUrn(Narrow(bstrName), urn);
    CXMLDocument holder;
    IXMLDOMDocument2Ptr pDocument;
    LoadSchemaCache(holder, pDocument, bstrCachePath);

    // Only the first entry with the URN goes.
    IXMLDOMElementPtr pEntry;
    if (!FindSchemaEntry(urn, pDocument, &pEntry)) return E_FAIL;
    MakeAdapter(pEntry)->RemoveFromParent();
    return holder.SaveFile(bstrCachePath) ? S_OK : E_FAIL;
  } catch (const _com_error& error) {
    return error.Error();
  }
}
