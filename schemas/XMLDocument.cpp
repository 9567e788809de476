#include "schemas/XMLDocument.h"

#include <windows.h>

#include "dom/XMLDOMAdapter.h"
#include "dom/XMLDOMAdapterList.h"
#include "errors/CheckResult.h"
#include "errors/XMLDOMPtr.h"
#include "schemas/NamespaceRewrites.h"

namespace {

// Closes a file or search handle when the routine leaves, on every path.
class CHandleCloser {
 public:
  explicit CHandleCloser(HANDLE hFile) : m_hFile(hFile) {}
  ~CHandleCloser() { Close(); }
  CHandleCloser(const CHandleCloser&) = delete;
  CHandleCloser& operator=(const CHandleCloser&) = delete;
  void Close() {
    if (m_hFile != INVALID_HANDLE_VALUE) CloseHandle(m_hFile);
    m_hFile = INVALID_HANDLE_VALUE;
  }

 private:
  HANDLE m_hFile;
};

// Frees a block of global memory on every path, unless released to an owner.
class CGlobalFreer {
 public:
  explicit CGlobalFreer(HGLOBAL hBlock) : m_hBlock(hBlock) {}
  ~CGlobalFreer() {
    if (m_hBlock != nullptr) GlobalFree(m_hBlock);
  }
  CGlobalFreer(const CGlobalFreer&) = delete;
  CGlobalFreer& operator=(const CGlobalFreer&) = delete;
  void Release() { m_hBlock = nullptr; }

 private:
  HGLOBAL m_hBlock;
};

// A moveable block's bytes, locked while the object lives.
class CGlobalLock {
 public:
  explicit CGlobalLock(HGLOBAL hBlock) : m_hBlock(hBlock), m_pData(static_cast<BYTE*>(GlobalLock(hBlock))) {}
  ~CGlobalLock() { GlobalUnlock(m_hBlock); }
  CGlobalLock(const CGlobalLock&) = delete;
  CGlobalLock& operator=(const CGlobalLock&) = delete;
  BYTE* get() const { return m_pData; }

 private:
  HGLOBAL m_hBlock;
  BYTE* m_pData;
};

// Largest file whose text, with its terminating zero byte, one read can take.
constexpr DWORD kMaxFileSize = 0xFFFFFFFEu;

// The file's size from its directory entry; false when there is no file.
bool FindFileSize(const char* path, WIN32_FIND_DATAA& found) {
  HANDLE hFind = FindFirstFileA(path, &found);
  if (hFind == INVALID_HANDLE_VALUE) return false;
  FindClose(hFind);
  return true;
}

}  // namespace

CXMLDocument::CXMLDocument() : m_bstrName(""), m_pDocument(nullptr), m_pRootAdapter(nullptr) {}

CXMLDocument::~CXMLDocument() {
  delete m_pRootAdapter;
  if (m_pDocument != nullptr) m_pDocument->Release();
}

HRESULT CXMLDocument::SetDocument(IXMLDOMDocument2* doc) {
  if (doc == nullptr) return E_INVALIDARG;
  doc->AddRef();
  if (m_pDocument != nullptr) m_pDocument->Release();
  m_pDocument = doc;
  return S_OK;
}

HRESULT CXMLDocument::LoadFile(const char* path) {
  if (m_pDocument == nullptr || path == nullptr) return E_FAIL;

  WIN32_FIND_DATAA found;
  if (!FindFileSize(path, found)) return E_FAIL;
  // The text must fit in one block with its terminating zero byte.
  if (found.nFileSizeHigh != 0 || found.nFileSizeLow > kMaxFileSize) return E_OUTOFMEMORY;
  const DWORD dwSize = found.nFileSizeLow;

  HANDLE hFile = CreateFileA(path, GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL,
                             nullptr);
  if (hFile == INVALID_HANDLE_VALUE) return E_FAIL;
  CHandleCloser file(hFile);

  // The text is read straight into the block of global memory that the
  // stream then owns, so that it is neither copied into the stream nor held
  // twice. The rewrites see only the bytes read, and the stream is cut to
  // them, so the block's spare byte is never read.
  HGLOBAL block = GlobalAlloc(GMEM_MOVEABLE, static_cast<SIZE_T>(dwSize) + 1);
  if (block == nullptr) return E_OUTOFMEMORY;
  CGlobalFreer blockOwner(block);
  DWORD dwRead = 0;
  {
    CGlobalLock text(block);
    if (text.get() == nullptr) return E_OUTOFMEMORY;
    if (!ReadFile(hFile, text.get(), dwSize + 1, &dwRead, nullptr)) return E_FAIL;
    ClearEmptyNamespaceDeclarations(text.get(), dwRead);
    StripSchemaDirectories(text.get(), dwRead);
  }
  file.Close();

  try {
    IStreamPtr stream;
    CheckResult(CreateStreamOnHGlobal(block, TRUE, &stream));
    blockOwner.Release();  // the stream frees it now
    // The stream is the text read, without the spare byte after it.
    ULARGE_INTEGER length = {};
    length.QuadPart = dwRead;
    CheckResult(stream->SetSize(length));

    LARGE_INTEGER start = {};
    CheckResult(stream->Seek(start, STREAM_SEEK_SET, nullptr));
    IPersistStreamPtr persist;
    CheckResult(m_pDocument->QueryInterface(__uuidof(IPersistStream), reinterpret_cast<void**>(&persist)));
    CheckResult(persist->Load(stream));
  } catch (const _com_error& error) {
    return error.Error();
  }
  return S_OK;
}

// Over the DOM adapter layer: the root adapter, selection and saving.

CXMLDOMAdapter* CXMLDocument::GetRootAdapter() {
  if (m_pRootAdapter != nullptr) return m_pRootAdapter;
  try {
    if (m_pDocument == nullptr) _com_issue_error(E_FAIL);
    IXMLDOMElementPtr root;
    CheckResult(m_pDocument->get_documentElement(&root));
    // An empty document has no element: the adapter refuses the null node.
    m_pRootAdapter = MakeAdapter(root).release();
  } catch (const _com_error&) {
    return nullptr;
  }
  return m_pRootAdapter;
}

HRESULT CXMLDocument::SelectNodes(const char* xpath, CXMLDOMAdapterList& list) {
  CXMLDOMAdapter* root = GetRootAdapter();
  if (root == nullptr) return E_FAIL;
  try {
    return root->SelectNodes(xpath, list) ? S_OK : S_FALSE;
  } catch (const _com_error& error) {
    return error.Error();
  }
}

bool CXMLDocument::SaveFile(const char* path) {
  if (m_pDocument == nullptr) return false;
  try {
    IXMLDOMParseErrorPtr parseError;
    if (FAILED(m_pDocument->validate(&parseError))) return false;
    _variant_t destination(path);
    return SUCCEEDED(m_pDocument->save(destination));
  } catch (const _com_error&) {
    return false;
  }
}
