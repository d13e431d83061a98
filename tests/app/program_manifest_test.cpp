// The manifest inside the finished program, read back out of the file, and
// handed to the system's own manifest reader.
#include <windows.h>

#include <gtest/gtest.h>

#include <cstddef>
#include <cstring>
#include <fstream>
#include <iterator>
#include <set>
#include <string>
#include <vector>

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

std::string shippedFile() {
    std::ifstream file(VELMORIN_SHIPPED_PROGRAM, std::ios::binary);
    return std::string((std::istreambuf_iterator<char>(file)), std::istreambuf_iterator<char>());
}

// The PE headers inside the file, or null when the file has none whole.
const IMAGE_NT_HEADERS32* ntHeaders(const std::string& image) {
    if (image.size() < sizeof(IMAGE_DOS_HEADER)) {
        return nullptr;
    }
    const auto* dos = reinterpret_cast<const IMAGE_DOS_HEADER*>(image.data());
    if (dos->e_magic != IMAGE_DOS_SIGNATURE || dos->e_lfanew < 0 ||
        static_cast<size_t>(dos->e_lfanew) + sizeof(IMAGE_NT_HEADERS32) > image.size()) {
        return nullptr;
    }
    const auto* nt = reinterpret_cast<const IMAGE_NT_HEADERS32*>(image.data() + dos->e_lfanew);
    return nt->Signature == IMAGE_NT_SIGNATURE ? nt : nullptr;
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
    const std::string image = shippedFile();
    const IMAGE_NT_HEADERS32* nt = ntHeaders(image);
    ASSERT_NE(nt, nullptr) << VELMORIN_SHIPPED_PROGRAM << " cannot be read as a program";
    ASSERT_EQ(nt->FileHeader.Machine, IMAGE_FILE_MACHINE_I386) << "not the 32-bit program";
    const WORD flags = nt->OptionalHeader.DllCharacteristics;
    EXPECT_EQ(flags & 0x0040, 0x0040) << "DYNAMIC_BASE";
    EXPECT_EQ(flags & 0x0100, 0x0100) << "NX_COMPAT";
    EXPECT_EQ(flags & 0x8000, 0x8000) << "TERMINAL_SERVER_AWARE";
}

// The file holds the program's code, data, imports, resources and
// relocations and nothing more: above all no unwind tables, which its fault
// handler on the thread's chain does without and which would grow the file
// by a quarter. Within 28 KiB, the size the program is known by with room for
// a little more code.
TEST(ProgramManifest, TheFileHasOnlyTheProgramsOwnSectionsAndStaysWithin28KiB) {
    const std::string image = shippedFile();
    EXPECT_LE(image.size(), 28u * 1024u);
    const IMAGE_NT_HEADERS32* nt = ntHeaders(image);
    ASSERT_NE(nt, nullptr) << VELMORIN_SHIPPED_PROGRAM << " cannot be read as a program";
    const size_t table = reinterpret_cast<const char*>(nt) - image.data() +
                         offsetof(IMAGE_NT_HEADERS32, OptionalHeader) +
                         nt->FileHeader.SizeOfOptionalHeader;
    const WORD count = nt->FileHeader.NumberOfSections;
    ASSERT_LE(table + count * sizeof(IMAGE_SECTION_HEADER), image.size());
    std::vector<std::string> names;
    for (WORD i = 0; i < count; ++i) {
        IMAGE_SECTION_HEADER section;
        std::memcpy(&section, image.data() + table + i * sizeof section, sizeof section);
        const char* name = reinterpret_cast<const char*>(section.Name);
        names.emplace_back(name, strnlen(name, IMAGE_SIZEOF_SHORT_NAME));
    }
    EXPECT_EQ(names, (std::vector<std::string>{".text", ".data", ".rdata", ".bss", ".idata",
                                               ".rsrc", ".reloc"}));
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
