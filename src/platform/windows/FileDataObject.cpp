#include "platform/windows/FileDataObject.h"

// clang-format off
#include <shlobj.h>
// clang-format on

#include <cstring>

#include "platform/windows/ClipboardFormats.h"

namespace quillfen::platform {

namespace {

std::string pathLines(const std::vector<std::string>& paths) {
    std::string text;
    for (const std::string& path : paths) {
        text += (text.empty() ? "" : "\r\n") + path;
    }
    return text;
}

HGLOBAL globalCopy(const std::string& bytes) {
    HGLOBAL memory = GlobalAlloc(GMEM_MOVEABLE | GMEM_ZEROINIT, bytes.size());
    if (void* data = memory != nullptr ? GlobalLock(memory) : nullptr; data != nullptr) {
        std::memcpy(data, bytes.data(), bytes.size());
        GlobalUnlock(memory);
    }
    return memory;
}

}  // namespace

FileDataObject* FileDataObject::create(const std::vector<std::string>& paths) {
    return new FileDataObject(paths);
}

FileDataObject::FileDataObject(const std::vector<std::string>& paths) {
    const auto dropEffect =
        static_cast<CLIPFORMAT>(RegisterClipboardFormatW(CFSTR_PREFERREDDROPEFFECT));
    offered_ = {CF_HDROP, dropEffect, CF_UNICODETEXT};
    blocks_[CF_HDROP] = ClipboardFormats::dropFiles(paths);
    blocks_[dropEffect] = ClipboardFormats::preferredDropEffect(FileTransfer::Copy);
    blocks_[CF_UNICODETEXT] = ClipboardFormats::unicodeText(pathLines(paths));
}

HRESULT FileDataObject::QueryInterface(REFIID id, void** object) {
    if (object == nullptr) {
        return E_POINTER;
    }
    if (IsEqualIID(id, IID_IUnknown) || IsEqualIID(id, IID_IDataObject)) {
        *object = static_cast<IDataObject*>(this);
        AddRef();
        return S_OK;
    }
    *object = nullptr;
    return E_NOINTERFACE;
}

ULONG FileDataObject::AddRef() {
    return ++references_;
}

ULONG FileDataObject::Release() {
    const ULONG left = --references_;
    if (left == 0) {
        delete this;
    }
    return left;
}

const std::string* FileDataObject::bytesFor(const FORMATETC& format) const {
    const auto found = blocks_.find(format.cfFormat);
    const bool global = (format.tymed & TYMED_HGLOBAL) != 0;
    return found == blocks_.end() || !global || format.dwAspect != DVASPECT_CONTENT
               ? nullptr
               : &found->second;
}

HRESULT FileDataObject::GetData(FORMATETC* format, STGMEDIUM* medium) {
    if (format == nullptr || medium == nullptr) {
        return E_INVALIDARG;
    }
    const std::string* bytes = bytesFor(*format);
    if (bytes == nullptr) {
        return DV_E_FORMATETC;
    }
    medium->tymed = TYMED_HGLOBAL;
    medium->hGlobal = globalCopy(*bytes);
    medium->pUnkForRelease = nullptr;
    return medium->hGlobal != nullptr ? S_OK : E_OUTOFMEMORY;
}

HRESULT FileDataObject::GetDataHere(FORMATETC*, STGMEDIUM*) {
    return E_NOTIMPL;
}

HRESULT FileDataObject::QueryGetData(FORMATETC* format) {
    return format != nullptr && bytesFor(*format) != nullptr ? S_OK : DV_E_FORMATETC;
}

HRESULT FileDataObject::GetCanonicalFormatEtc(FORMATETC*, FORMATETC* out) {
    if (out != nullptr) {
        out->ptd = nullptr;
    }
    return DATA_S_SAMEFORMATETC;
}

// Targets tell the source what they did through formats of their own; only global memory is
// kept, which is what they use.
HRESULT FileDataObject::SetData(FORMATETC* format, STGMEDIUM* medium, BOOL release) {
    if (format == nullptr || medium == nullptr || medium->tymed != TYMED_HGLOBAL) {
        return E_NOTIMPL;
    }
    const SIZE_T size = GlobalSize(medium->hGlobal);
    const void* data = GlobalLock(medium->hGlobal);
    if (data == nullptr) {
        return E_INVALIDARG;
    }
    blocks_[format->cfFormat] = std::string(static_cast<const char*>(data), size);
    GlobalUnlock(medium->hGlobal);
    if (release) {
        ReleaseStgMedium(medium);
    }
    return S_OK;
}

HRESULT FileDataObject::EnumFormatEtc(DWORD direction, IEnumFORMATETC** formats) {
    if (direction != DATADIR_GET) {
        return E_NOTIMPL;
    }
    std::vector<FORMATETC> list;
    for (const CLIPFORMAT format : offered_) {
        list.push_back(FORMATETC{format, nullptr, DVASPECT_CONTENT, -1, TYMED_HGLOBAL});
    }
    return SHCreateStdEnumFmtEtc(static_cast<UINT>(list.size()), list.data(), formats);
}

HRESULT FileDataObject::DAdvise(FORMATETC*, DWORD, IAdviseSink*, DWORD*) {
    return OLE_E_ADVISENOTSUPPORTED;
}

HRESULT FileDataObject::DUnadvise(DWORD) {
    return OLE_E_ADVISENOTSUPPORTED;
}

HRESULT FileDataObject::EnumDAdvise(IEnumSTATDATA**) {
    return OLE_E_ADVISENOTSUPPORTED;
}

}  // namespace quillfen::platform
