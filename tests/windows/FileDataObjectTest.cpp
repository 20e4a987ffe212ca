#include "platform/windows/FileDataObject.h"

#include <gtest/gtest.h>
#include <windows.h>

#include <shellapi.h>
#include <shlobj.h>

#include <string>
#include <vector>

#include "platform/windows/ClipboardFormats.h"
#include "platform/windows/WideText.h"

namespace quillfen::platform {
namespace {

FORMATETC formatOf(CLIPFORMAT format, DWORD medium = TYMED_HGLOBAL) {
    return FORMATETC{format, nullptr, DVASPECT_CONTENT, -1, medium};
}

// The bytes a drop target receives in one format, or nothing when the object refuses it.
std::optional<std::string> dataIn(IDataObject& data, CLIPFORMAT format) {
    FORMATETC wanted = formatOf(format);
    STGMEDIUM medium{};
    if (data.GetData(&wanted, &medium) != S_OK) {
        return std::nullopt;
    }
    const auto* start = static_cast<const char*>(GlobalLock(medium.hGlobal));
    std::string bytes(start, GlobalSize(medium.hGlobal));
    GlobalUnlock(medium.hGlobal);
    ReleaseStgMedium(&medium);
    return bytes;
}

// The paths the shell reads out of the CF_HDROP block the object hands over.
std::vector<std::wstring> droppedPaths(IDataObject& data) {
    std::vector<std::wstring> paths;
    FORMATETC wanted = formatOf(CF_HDROP);
    STGMEDIUM medium{};
    if (data.GetData(&wanted, &medium) != S_OK) {
        return paths;
    }
    const auto drop = static_cast<HDROP>(medium.hGlobal);
    const UINT count = DragQueryFileW(drop, 0xFFFFFFFF, nullptr, 0);
    for (UINT i = 0; i < count; ++i) {
        std::wstring path(DragQueryFileW(drop, i, nullptr, 0), L'\0');
        DragQueryFileW(drop, i, path.data(), static_cast<UINT>(path.size() + 1));
        paths.push_back(path);
    }
    ReleaseStgMedium(&medium);
    return paths;
}

TEST(FileDataObject, OffersTheClipboardsFileListCopyEffectAndTextAndKeepsWhatTheTargetSets) {
    const std::vector<std::string> paths = {"C:\\A\\x.txt", "Z:\\tmp\\y z \xC3\x9C.doc"};
    FileDataObject* object = FileDataObject::create(paths);
    IDataObject& data = *object;
    const auto dropEffect =
        static_cast<CLIPFORMAT>(RegisterClipboardFormatW(CFSTR_PREFERREDDROPEFFECT));

    IEnumFORMATETC* formats = nullptr;
    ASSERT_EQ(data.EnumFormatEtc(DATADIR_GET, &formats), S_OK);
    std::vector<CLIPFORMAT> offered;
    FORMATETC next{};
    while (formats->Next(1, &next, nullptr) == S_OK) {
        offered.push_back(next.cfFormat);
        EXPECT_EQ(next.tymed, static_cast<DWORD>(TYMED_HGLOBAL));
    }
    formats->Release();
    EXPECT_EQ(offered, (std::vector<CLIPFORMAT>{CF_HDROP, dropEffect, CF_UNICODETEXT}));

    EXPECT_EQ(dataIn(data, CF_HDROP), ClipboardFormats::dropFiles(paths));
    EXPECT_EQ(droppedPaths(data), (std::vector<std::wstring>{toWide(paths[0]), toWide(paths[1])}));
    EXPECT_EQ(dataIn(data, dropEffect), ClipboardFormats::preferredDropEffect(FileTransfer::Copy));
    EXPECT_EQ(dataIn(data, CF_UNICODETEXT),
              ClipboardFormats::unicodeText(paths[0] + "\r\n" + paths[1]));

    FORMATETC text = formatOf(CF_TEXT);
    FORMATETC stream = formatOf(CF_HDROP, TYMED_ISTREAM);
    EXPECT_EQ(data.QueryGetData(&text), DV_E_FORMATETC);
    EXPECT_EQ(data.QueryGetData(&stream), DV_E_FORMATETC);
    EXPECT_EQ(dataIn(data, CF_TEXT), std::nullopt);

    // A target reports what it did through a format of its own.
    const auto performed =
        static_cast<CLIPFORMAT>(RegisterClipboardFormatW(CFSTR_PERFORMEDDROPEFFECT));
    FORMATETC performedFormat = formatOf(performed);
    STGMEDIUM medium{};
    medium.tymed = TYMED_HGLOBAL;
    medium.hGlobal = GlobalAlloc(GMEM_MOVEABLE, 4);
    *static_cast<DWORD*>(GlobalLock(medium.hGlobal)) = DROPEFFECT_MOVE;
    GlobalUnlock(medium.hGlobal);
    EXPECT_EQ(data.SetData(&performedFormat, &medium, TRUE), S_OK);
    EXPECT_EQ(dataIn(data, performed), std::string("\x02\0\0\0", 4));

    IUnknown* unknown = nullptr;
    ASSERT_EQ(data.QueryInterface(IID_IUnknown, reinterpret_cast<void**>(&unknown)), S_OK);
    EXPECT_EQ(unknown->Release(), 1u);
    EXPECT_EQ(data.Release(), 0u);
}

}  // namespace
}  // namespace quillfen::platform
