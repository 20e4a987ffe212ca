#include <windows.h>

#include <string>

#include <gtest/gtest.h>

namespace {

std::string resourceText(LPCWSTR type, LPCWSTR name) {
    HRSRC found = FindResourceW(nullptr, name, type);
    if (found == nullptr) {
        return {};
    }
    HGLOBAL loaded = LoadResource(nullptr, found);
    const void* bytes = loaded != nullptr ? LockResource(loaded) : nullptr;
    if (bytes == nullptr) {
        return {};
    }
    return std::string(static_cast<const char*>(bytes), SizeofResource(nullptr, found));
}

TEST(ProgramManifest, AsksForCommonControlsPerMonitorScalingAndLongPaths) {
    const std::string manifest = resourceText(RT_MANIFEST, MAKEINTRESOURCEW(1));
    ASSERT_FALSE(manifest.empty());
    for (const char* wanted :
         {"Microsoft.Windows.Common-Controls\" version=\"6.0.0.0\"", "PerMonitorV2",
          "<longPathAware xmlns=\"http://schemas.microsoft.com/SMI/2016/WindowsSettings\">true<",
          "level=\"asInvoker\""}) {
        EXPECT_NE(manifest.find(wanted), std::string::npos) << wanted;
    }
}

TEST(ProgramManifest, CarriesTheVersion) {
    wchar_t path[MAX_PATH];
    ASSERT_GT(GetModuleFileNameW(nullptr, path, MAX_PATH), 0u);
    DWORD ignored = 0;
    const DWORD size = GetFileVersionInfoSizeW(path, &ignored);
    ASSERT_GT(size, 0u);
    std::string block(size, '\0');
    ASSERT_TRUE(GetFileVersionInfoW(path, 0, size, block.data()));
    VS_FIXEDFILEINFO* fixed = nullptr;
    UINT fixedSize = 0;
    ASSERT_TRUE(VerQueryValueW(block.data(), L"\\", reinterpret_cast<void**>(&fixed), &fixedSize));
    EXPECT_EQ(HIWORD(fixed->dwFileVersionMS), 1u);
    EXPECT_EQ(LOWORD(fixed->dwFileVersionMS), 3u);
    EXPECT_EQ(HIWORD(fixed->dwFileVersionLS), 3u);
    wchar_t* product = nullptr;
    UINT productSize = 0;
    ASSERT_TRUE(VerQueryValueW(block.data(), L"\\StringFileInfo\\040904B0\\ProductVersion",
                               reinterpret_cast<void**>(&product), &productSize));
    EXPECT_STREQ(product, L"1.3.3.20220312");
}

}  // namespace
