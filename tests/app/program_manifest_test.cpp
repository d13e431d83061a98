// The manifest inside the finished program, read back out of the file, and
// handed to the system's own manifest reader.
#include <windows.h>

#include <gtest/gtest.h>

#include <fstream>
#include <iterator>
#include <set>
#include <string>

namespace {

constexpr WORD MANIFEST_ID = 1;
constexpr WORD MANIFEST_TYPE = 24;

std::string manifestText() {
    HMODULE image = LoadLibraryExA(VELMORIN_SHIPPED_PROGRAM, nullptr, LOAD_LIBRARY_AS_DATAFILE);
    if (!image) {
        return "";
    }
    std::string text;
    HRSRC found =
        FindResourceA(image, MAKEINTRESOURCEA(MANIFEST_ID), MAKEINTRESOURCEA(MANIFEST_TYPE));
    HGLOBAL loaded = found ? LoadResource(image, found) : nullptr;
    if (loaded) {
        text.assign(static_cast<const char*>(LockResource(loaded)), SizeofResource(image, found));
    }
    FreeLibrary(image);
    return text;
}

std::set<std::string> supportedSystems(const std::string& text) {
    std::set<std::string> systems;
    const std::string element = "<supportedOS Id=\"";
    for (size_t at = text.find(element); at != std::string::npos; at = text.find(element, at)) {
        at += element.size();
        systems.insert(text.substr(at, text.find('"', at) - at));
    }
    return systems;
}

} // namespace

TEST(ProgramManifest, IsReadByTheSystemAndRunsWithTheRightsOfItsCaller) {
    ACTCTXA request = {};
    request.cbSize = sizeof(request);
    request.dwFlags = ACTCTX_FLAG_RESOURCE_NAME_VALID;
    request.lpSource = VELMORIN_SHIPPED_PROGRAM;
    request.lpResourceName = MAKEINTRESOURCEA(MANIFEST_ID);
    HANDLE context = CreateActCtxA(&request);
    ASSERT_NE(context, INVALID_HANDLE_VALUE) << "the system refuses the manifest";
    ACTIVATION_CONTEXT_RUN_LEVEL_INFORMATION runLevel = {};
    SIZE_T needed = 0;
    EXPECT_TRUE(QueryActCtxW(0, context, nullptr, RunlevelInformationInActivationContext, &runLevel,
                             sizeof(runLevel), &needed));
    EXPECT_EQ(runLevel.RunLevel, ACTCTX_RUN_LEVEL_AS_INVOKER);
    EXPECT_EQ(runLevel.UiAccess, 0u);
    ReleaseActCtx(context);
}

TEST(ProgramManifest, NamesWindowsVistaTo11KeepsTheClassicControlsAndLetsGdiScaleTheText) {
    std::string text = manifestText();
    ASSERT_FALSE(text.empty());
    EXPECT_EQ(supportedSystems(text), (std::set<std::string>{
                                          "{e2011457-1546-43c5-a5fe-008deee3d3f0}", // Vista
                                          "{35138b9a-5d96-4fbd-8e2d-a2440225f93a}", // 7
                                          "{4a2f28e3-53b9-4441-ba9c-d69d4a4a6e38}", // 8
                                          "{1f676c76-80e1-4239-95bb-83d0f6d0da78}", // 8.1
                                          "{8e0f7a12-bfb3-4fe8-b9a5-48fd50a15a9a}", // 10, 11
                                      }));
    EXPECT_EQ(text.find("Common-Controls"), std::string::npos);
    EXPECT_EQ(text.find("<dependency"), std::string::npos);
    // DPI-unaware: neither a dpiAware nor a dpiAwareness element.
    EXPECT_EQ(text.find("dpiAware"), std::string::npos);
    EXPECT_NE(
        text.find("<gdiScaling xmlns=\"http://schemas.microsoft.com/SMI/2017/WindowsSettings\">"
                  "true</gdiScaling>"),
        std::string::npos);
}

// The header flags every current Windows program carries: a relocatable image
// for address randomisation, data pages that cannot run, and awareness of
// terminal servers, without which Remote Desktop sessions redirect the
// program's view of the Windows folder.
TEST(ProgramManifest, TheHeaderAsksForRandomisedAddressesNoRunnableDataAndNoTerminalShims) {
    std::ifstream file(VELMORIN_SHIPPED_PROGRAM, std::ios::binary);
    std::string image((std::istreambuf_iterator<char>(file)), std::istreambuf_iterator<char>());
    ASSERT_GT(image.size(), sizeof(IMAGE_DOS_HEADER))
        << VELMORIN_SHIPPED_PROGRAM << " cannot be read";
    const auto* dos = reinterpret_cast<const IMAGE_DOS_HEADER*>(image.data());
    ASSERT_EQ(dos->e_magic, IMAGE_DOS_SIGNATURE);
    ASSERT_LE(static_cast<size_t>(dos->e_lfanew) + sizeof(IMAGE_NT_HEADERS32), image.size());
    const auto* nt = reinterpret_cast<const IMAGE_NT_HEADERS32*>(image.data() + dos->e_lfanew);
    ASSERT_EQ(nt->Signature, IMAGE_NT_SIGNATURE);
    ASSERT_EQ(nt->FileHeader.Machine, IMAGE_FILE_MACHINE_I386) << "not the 32-bit program";
    const WORD flags = nt->OptionalHeader.DllCharacteristics;
    EXPECT_EQ(flags & 0x0040, 0x0040) << "DYNAMIC_BASE";
    EXPECT_EQ(flags & 0x0100, 0x0100) << "NX_COMPAT";
    EXPECT_EQ(flags & 0x8000, 0x8000) << "TERMINAL_SERVER_AWARE";
}

// One image per size that Windows shows: captions and small views (16, 24 at
// 150 %, 32), large views and Alt+Tab (48), extra large views (256, stored as
// a PNG). Each is a resource the system itself can make an icon of.
TEST(ProgramManifest, TheIconHasAnImageForEverySizeWindowsShows) {
    HMODULE image = LoadLibraryExA(VELMORIN_SHIPPED_PROGRAM, nullptr, LOAD_LIBRARY_AS_DATAFILE);
    ASSERT_NE(image, nullptr);
    HRSRC group = FindResourceA(image, MAKEINTRESOURCEA(1), MAKEINTRESOURCEA(14)); // RT_GROUP_ICON
    ASSERT_NE(group, nullptr);
    const BYTE* directory = static_cast<const BYTE*>(LockResource(LoadResource(image, group)));
    // GRPICONDIR: reserved, type, count; then 14-byte entries whose last word is the image's id.
    const WORD count = *reinterpret_cast<const WORD*>(directory + 4);
    std::set<int> sizes;
    for (WORD i = 0; i < count; ++i) {
        const BYTE* entry = directory + 6 + 14 * i;
        const int size = entry[0] ? entry[0] : 256;
        sizes.insert(size);
        const WORD id = *reinterpret_cast<const WORD*>(entry + 12);
        HRSRC found = FindResourceA(image, MAKEINTRESOURCEA(id), MAKEINTRESOURCEA(3)); // RT_ICON
        ASSERT_NE(found, nullptr) << size;
        BYTE* bits = static_cast<BYTE*>(LockResource(LoadResource(image, found)));
        if (size == 256) {
            EXPECT_EQ(std::string(reinterpret_cast<char*>(bits), 4), "\x89PNG");
        }
        HICON icon = CreateIconFromResourceEx(bits, SizeofResource(image, found), TRUE, 0x00030000,
                                              size, size, LR_DEFAULTCOLOR);
        EXPECT_NE(icon, nullptr) << size;
        DestroyIcon(icon);
    }
    EXPECT_EQ(sizes, (std::set<int>{16, 24, 32, 48, 256}));
    FreeLibrary(image);
}
