#pragma once

// clang-format off
#include <windows.h>
#include <objidl.h>
// clang-format on

#include <atomic>
#include <map>
#include <string>
#include <vector>

namespace quillfen::platform {

// The files of a drag as OLE hands them to the drop target: CF_HDROP, "Preferred DropEffect"
// (copy, so a plain drop never moves a found file by surprise; the target's keys still choose
// a move) and CF_UNICODETEXT with one path per line, the bytes those of the clipboard. Data a
// target sets, such as "Performed DropEffect", is kept and given back.
// COM objects end through Release, never through a pointer to the interface's destructor, which
// COM interfaces do not declare.
#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Wnon-virtual-dtor"
class FileDataObject final : public IDataObject {
public:
    // The object with one reference, which the caller releases.
    static FileDataObject* create(const std::vector<std::string>& paths);

    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID id, void** object) override;
    ULONG STDMETHODCALLTYPE AddRef() override;
    ULONG STDMETHODCALLTYPE Release() override;

    HRESULT STDMETHODCALLTYPE GetData(FORMATETC* format, STGMEDIUM* medium) override;
    HRESULT STDMETHODCALLTYPE GetDataHere(FORMATETC* format, STGMEDIUM* medium) override;
    HRESULT STDMETHODCALLTYPE QueryGetData(FORMATETC* format) override;
    HRESULT STDMETHODCALLTYPE GetCanonicalFormatEtc(FORMATETC* format, FORMATETC* out) override;
    HRESULT STDMETHODCALLTYPE SetData(FORMATETC* format, STGMEDIUM* medium, BOOL release) override;
    HRESULT STDMETHODCALLTYPE EnumFormatEtc(DWORD direction, IEnumFORMATETC** formats) override;
    HRESULT STDMETHODCALLTYPE DAdvise(FORMATETC* format, DWORD flags, IAdviseSink* sink,
                                      DWORD* connection) override;
    HRESULT STDMETHODCALLTYPE DUnadvise(DWORD connection) override;
    HRESULT STDMETHODCALLTYPE EnumDAdvise(IEnumSTATDATA** advises) override;

private:
    explicit FileDataObject(const std::vector<std::string>& paths);
    ~FileDataObject() = default;

    // The format's bytes, or nullptr when the object does not hold it in global memory.
    const std::string* bytesFor(const FORMATETC& format) const;

    std::atomic<ULONG> references_{1};
    // In the order offered, the files' formats first.
    std::vector<CLIPFORMAT> offered_;
    std::map<CLIPFORMAT, std::string> blocks_;
};
#pragma GCC diagnostic pop

}  // namespace quillfen::platform
