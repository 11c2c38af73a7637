#include <gtest/gtest.h>
#include <string.h>
#include <map>
#include <memory>
#include <string>
#include "install/payload.h"
#include "install/payload_stream.h"
#include "test_support.h"

TEST(CreateFolderPath, ExistingFolderComesBackWithOneBackslash)
{
    TempFolder t;
    const std::string forms[] = {t.path(), t.path() + "\\", t.path() + "   ", t.path() + "\\  "};
    for (const std::string& form : forms) {
        char buf[MAX_PATH];
        strcpy(buf, form.c_str());
        EXPECT_EQ(CreateFolderPath(buf), 1) << form;
        EXPECT_EQ(std::string(buf), t.path() + "\\") << form;
    }
}

TEST(CreateFolderPath, CreatesMissingLevelsAndKeepsTheCurrentDirectory)
{
    TempFolder t;
    char before[MAX_PATH], after[MAX_PATH];
    GetCurrentDirectoryA(sizeof before, before);
    char buf[MAX_PATH];
    strcpy(buf, (t / "a\\b\\c").c_str());
    EXPECT_EQ(CreateFolderPath(buf), 1);
    EXPECT_EQ(std::string(buf), t / "a\\b\\c\\");
    EXPECT_TRUE(IsFolder(t / "a\\b\\c"));
    GetCurrentDirectoryA(sizeof after, after);
    EXPECT_STREQ(before, after);
}

TEST(CreateFolderPath, Failures)
{
    char buf[MAX_PATH] = "";
    EXPECT_EQ(CreateFolderPath(buf), 0);
    EXPECT_EQ(CreateFolderPath(nullptr), 0);

    strcpy(buf, "Q:\\Nowhere\\Pixmora");  // no such drive in the prefix
    EXPECT_EQ(CreateFolderPath(buf), 0);
    EXPECT_STREQ(buf, "Q:\\Nowhere\\Pixmora\\");
}

TEST(CreateFolderPath, PlainFilePassesButItsPayloadFails)
{
    TempFolder t;
    WriteFileBytes(t / "Pixmora", "not a folder");
    char buf[MAX_PATH];
    strcpy(buf, (t / "Pixmora").c_str());
    EXPECT_EQ(CreateFolderPath(buf), 1);
    EXPECT_EQ(WritePayload(buf, nullptr), 0);
}

TEST(Payload, WritesAll23FilesInTheirFolders)
{
    TempFolder t;
    std::string root = t.path() + "\\";
    EXPECT_EQ(WritePayload(root.c_str(), nullptr), 1);
    const char* files[] = {"pxm32.exe", "Help\\pxm32d.chm", "pxm_languages.txt", "Toolbars\\Velder_16.png",
                           "Plugins\\Slideshow.exe", "Languages\\Deutsch.dll", "Html\\frame.html"};
    for (const char* f : files) EXPECT_GT(QueryFileLength((root + f).c_str()), 0) << f;
    EXPECT_FALSE(IsFolder(root + "pxm_about.txt"));
}

namespace {

// Every file below `dir` (relative names) with its bytes.
void ListFiles(const std::string& dir, const std::string& rel, std::map<std::string, std::string>* out)
{
    WIN32_FIND_DATAA fd;
    HANDLE h = FindFirstFileA((dir + "\\*").c_str(), &fd);
    if (h == INVALID_HANDLE_VALUE) return;
    do {
        std::string name = fd.cFileName;
        if (name == "." || name == "..") continue;
        if (fd.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY)
            ListFiles(dir + "\\" + name, rel + name + "\\", out);
        else
            (*out)[rel + name] = ReadFileBytes(dir + "\\" + name);
    } while (FindNextFileA(h, &fd));
    FindClose(h);
}

std::map<std::string, std::string> Snapshot(const std::string& dir)
{
    std::map<std::string, std::string> files;
    ListFiles(dir, "", &files);
    return files;
}

}  // namespace

// A payload that cannot be completed changes nothing: an upgrade keeps every previous file byte
// for byte, a fresh folder gets no payload file, and no temporary file stays behind.
TEST(Payload, AllOrNothing)
{
    struct Case {
        const char* name;
        bool upgrade;  // a complete earlier installation of other contents is there
        const char* held;       // a file held open without sharing (as the running viewer would)
        const char* plainFile;  // a plain file where a subfolder belongs
    } cases[] = {
        {"upgrade, first file in use", true, "pxm32.exe", NULL},
        {"upgrade, last plug-in in use", true, "Plugins\\Slideshow.exe", NULL},
        {"upgrade, last file in use", true, "Html\\frame.html", NULL},
        {"fresh, Html is a file", false, NULL, "Html"},
        {"fresh, Help is a file", false, NULL, "Help"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        TempFolder t;
        std::string root = t.path() + "\\";
        if (c.upgrade) {
            ASSERT_EQ(WritePayload(root.c_str(), nullptr), 1);
            for (auto& f : Snapshot(t.path())) WriteFileBytes(root + f.first, "earlier version of " + f.first);
        }
        if (c.plainFile) WriteFileBytes(root + c.plainFile, "in the way");
        std::map<std::string, std::string> before = Snapshot(t.path());
        HANDLE held = INVALID_HANDLE_VALUE;
        if (c.held)
            held = CreateFileA((root + c.held).c_str(), GENERIC_READ, FILE_SHARE_READ, NULL, OPEN_EXISTING, 0, NULL);

        EXPECT_EQ(WritePayload(root.c_str(), nullptr), 0);
        if (held != INVALID_HANDLE_VALUE) CloseHandle(held);
        EXPECT_EQ(Snapshot(t.path()), before);
    }
}

// A file that someone holds between placing and rollback (a virus scanner, the new viewer started
// meanwhile) cannot be put back: the rollback says so, names it and where its previous content
// is, and puts back everything else.
TEST(Payload, RollBackWithAFileHeldMeanwhile)
{
    struct Case {
        const char* name;
        bool upgrade;
        const char* held;
    } cases[] = {
        {"upgrade", true, "Plugins\\Video.dll"},
        {"fresh", false, "pxm32.exe"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        TempFolder t;
        std::string root = t.path() + "\\";
        if (c.upgrade) {
            ASSERT_EQ(WritePayload(root.c_str(), nullptr), 1);
            for (auto& f : Snapshot(t.path())) WriteFileBytes(root + f.first, "earlier version of " + f.first);
        }
        std::map<std::string, std::string> before = Snapshot(t.path());

        CPayloadWrite write(root.c_str());
        ASSERT_TRUE(write.StageAll());
        ASSERT_TRUE(write.PlaceAll());
        std::string held = root + c.held;
        std::string placed = ReadFileBytes(held);
        HANDLE h = CreateFileA(held.c_str(), GENERIC_READ, FILE_SHARE_READ, NULL, OPEN_EXISTING, 0, NULL);
        ASSERT_NE(h, INVALID_HANDLE_VALUE);
        FailedRows notRestored;
        EXPECT_FALSE(write.RollBack(&notRestored));
        CloseHandle(h);

        // Named alone; its previous content kept under the temporary name that is named with it.
        ASSERT_EQ(notRestored.nCount, 1) << notRestored.text;
        std::string line = (const char*)notRestored.text;
        EXPECT_EQ(line.rfind(held, 0), 0u) << line;
        std::map<std::string, std::string> after = Snapshot(t.path());
        EXPECT_EQ(after[c.held], placed);
        if (c.upgrade) {
            size_t open = line.find(" (");
            ASSERT_NE(open, std::string::npos) << line;
            std::string previous = line.substr(open + 2, line.size() - open - 4);  // up to ")\n"
            EXPECT_EQ(ReadFileBytes(previous), before[c.held]) << previous;
            DeleteFileA(previous.c_str());
        } else {
            EXPECT_EQ(line, held + "\n");
        }
        DeleteFileA(held.c_str());
        after = Snapshot(t.path());
        before.erase(c.held);
        EXPECT_EQ(after, before);  // everything else as it was, no temporary file left
    }
}

TEST(ExtractPayloadFile, OverwritesAndReportsMissingResources)
{
    TempFolder t;
    std::string target = t / "pxm32.exe";
    WriteFileBytes(target, std::string(200000, 'x'));  // longer than the resource
    ASSERT_EQ(ExtractPayloadFile(target.c_str(), 119, "EXE"), 1);
    std::string bytes = ReadFileBytes(target);
    EXPECT_EQ(bytes.substr(0, 2), "MZ");
    EXPECT_LT(bytes.size(), 200000u);

    EXPECT_EQ(ExtractPayloadFile((t / "none.dll").c_str(), 999, "DLL"), 0);
    EXPECT_EQ(GetFileAttributesA((t / "none.dll").c_str()), INVALID_FILE_ATTRIBUTES);
    EXPECT_EQ(ExtractPayloadFile((t / "missing\\x.txt").c_str(), 120, "TXT"), 0);
}

TEST(Crc32, KnownValues)
{
    EXPECT_EQ(Crc32(0, "123456789", 9), 0xCBF43926u);
    EXPECT_EQ(Crc32(0, "", 0), 0u);
    EXPECT_EQ(Crc32(Crc32(0, "1234", 4), "56789", 5), 0xCBF43926u);  // in pieces, as unpacking goes
    // Eight bytes a step and the rest one by one: the same sum however the text is cut.
    const char fox[] = "The quick brown fox jumps over the lazy dog";
    for (size_t cut = 0; cut < sizeof fox; ++cut)
        EXPECT_EQ(Crc32(Crc32(0, fox, cut), fox + cut, sizeof fox - 1 - cut), 0x414FA339u) << cut;
}

namespace {

// The stored bytes of the first payload row that the build stored `storage` (its index in
// `*index`); NULL when it stored none so (a build with PAYLOAD_COMPRESSION=none packs nothing).
// `last`: the last such row instead.
const PayloadRow* RowStored(PayloadRow::Storage storage, std::string* stored, int* index, bool last = false)
{
    const PayloadRow* found = NULL;
    for (int i = 0; i < g_payloadRowCount; ++i) {
        const PayloadRow& row = g_payload[i];
        if (row.step == PayloadRow::Folder || row.storage != storage || row.size == 0) continue;
        HRSRC res = FindResourceA(NULL, MAKEINTRESOURCEA(row.id), row.type);
        const char* data = static_cast<const char*>(LockResource(LoadResource(NULL, res)));
        stored->assign(data, SizeofResource(NULL, res));
        *index = i;
        found = &row;
        if (!last) break;
    }
    return found;
}

// An unpacker that has had the payload's files before row `index` go through it, as installing does.
std::unique_ptr<CPayloadUnpacker> UnpackerAt(int index)
{
    std::unique_ptr<CPayloadUnpacker> unpacker(new CPayloadUnpacker(g_payloadDictionary));
    for (int i = 0; i < index; ++i) {
        const PayloadRow& row = g_payload[i];
        if (row.step == PayloadRow::Folder) continue;
        HRSRC res = FindResourceA(NULL, MAKEINTRESOURCEA(row.id), row.type);
        const BYTE* data = static_cast<const BYTE*>(LockResource(LoadResource(NULL, res)));
        EXPECT_TRUE(unpacker->Next(INVALID_HANDLE_VALUE, data, SizeofResource(NULL, res),
                                   row.storage == PayloadRow::Lzma, row.size, row.crc32));
    }
    return unpacker;
}

// Writes `stored` through `unpacker` into a fresh file; its bytes into `out`.
bool WriteToFile(CPayloadUnpacker& unpacker, const TempFolder& t, const std::string& stored, bool packed, DWORD size,
                 DWORD crc, std::string* out)
{
    std::string path = t / "out.bin";
    HANDLE file = CreateFileA(path.c_str(), GENERIC_WRITE, 0, NULL, CREATE_ALWAYS, 0, NULL);
    bool ok = unpacker.Next(file, reinterpret_cast<const BYTE*>(stored.data()), (DWORD)stored.size(), packed, size,
                            crc);
    CloseHandle(file);
    *out = ReadFileBytes(path);
    return ok;
}

void PutLength(std::string& stored, DWORD length)
{
    for (int i = 0; i < 4; ++i) stored[4 + i] = (char)(length >> (8 * i));
}

}  // namespace

// A packed file comes out whole, and any damage to its resource (header or stream) is refused.
TEST(PayloadUnpacker, PackedResourceIntactOrDamaged)
{
    std::string stored;
    int index = 0;
    const PayloadRow* row = RowStored(PayloadRow::Lzma, &stored, &index);
    if (!row) GTEST_SKIP() << "this build packed no payload file";
    ASSERT_GT(stored.size(), 20u);
    TempFolder t;
    std::string file;
    ASSERT_TRUE(WriteToFile(*UnpackerAt(index), t, stored, true, row->size, row->crc32, &file));
    ASSERT_EQ(file.size(), row->size);
    EXPECT_EQ(Crc32(0, file.data(), file.size()), row->crc32);

    const size_t mid = 13 + (stored.size() - 13) / 2;
    struct Case {
        const char* name;
        void (*damage)(std::string& s, DWORD size, size_t mid);
        int claimed;  // the length that header and row claim, against the file's
    } cases[] = {
        {"magic", [](std::string& s, DWORD, size_t) { s[0] ^= 0x01; }, 0},
        {"length in the header", [](std::string& s, DWORD size, size_t) { PutLength(s, size + 1); }, 0},
        {"lc 3, lp 2", [](std::string& s, DWORD, size_t) { s[8] = (2 * 5 + 2) * 9 + 3; }, 0},
        {"properties byte invalid", [](std::string& s, DWORD, size_t) { s[8] = (char)225; }, 0},
        {"dictionary over 8 MiB", [](std::string& s, DWORD, size_t) { s[12] = 0x01; }, 0},
        {"dictionary not the payload's", [](std::string& s, DWORD, size_t) { s[9] ^= 0x01; }, 0},
        {"first byte of the stream", [](std::string& s, DWORD, size_t) { s[13] ^= 0x01; }, 0},
        {"a byte in the middle", [](std::string& s, DWORD, size_t m) { s[m] ^= 0x01; }, 0},
        {"cut short by a byte", [](std::string& s, DWORD, size_t) { s.pop_back(); }, 0},
        {"a byte appended", [](std::string& s, DWORD, size_t) { s.push_back('\0'); }, 0},
        {"header only", [](std::string& s, DWORD, size_t) { s.resize(13); }, 0},
        {"shorter than a header", [](std::string& s, DWORD, size_t) { s.resize(12); }, 0},
        // Header and row agree on a wrong length: the stream goes on past it, or ends before it.
        {"stream longer than claimed", [](std::string& s, DWORD size, size_t) { PutLength(s, size - 1); }, -1},
        {"stream shorter than claimed", [](std::string& s, DWORD size, size_t) { PutLength(s, size + 1); }, +1},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        std::string damaged = stored;
        c.damage(damaged, row->size, mid);
        DWORD claimed = row->size + c.claimed;
        // A CRC-32 that fits the bytes the claimed length would take, so that only the length gives
        // the stream away.
        DWORD crc = c.claimed < 0 ? Crc32(0, file.data(), claimed) : row->crc32;
        std::string out;
        EXPECT_FALSE(WriteToFile(*UnpackerAt(index), t, damaged, true, claimed, crc, &out));
    }
}

// A packed file may refer back into the files before it: it comes out whole after them (alone,
// as ExtractPayloadFile takes it, and as the whole payload goes), never without them, and after a
// file that failed, the unpacker refuses the rest.
TEST(PayloadUnpacker, LaterFilesReferBackIntoEarlierOnes)
{
    std::string stored;
    int index = 0;
    const PayloadRow* row = RowStored(PayloadRow::Lzma, &stored, &index, true);
    if (!row || index == 0) GTEST_SKIP() << "this build packed no file after another";
    TempFolder t;
    std::string out;
    ASSERT_TRUE(WriteToFile(*UnpackerAt(index), t, stored, true, row->size, row->crc32, &out));
    EXPECT_EQ(Crc32(0, out.data(), out.size()), row->crc32);
    ASSERT_EQ(ExtractPayloadFile((t / "alone.bin").c_str(), row->id, row->type), 1);
    EXPECT_EQ(ReadFileBytes(t / "alone.bin"), out);

    CPayloadUnpacker fresh(g_payloadDictionary);
    EXPECT_FALSE(WriteToFile(fresh, t, stored, true, row->size, row->crc32, &out));

    std::string damaged = stored;
    damaged[damaged.size() / 2] ^= 0x01;
    std::unique_ptr<CPayloadUnpacker> unpacker = UnpackerAt(index);
    EXPECT_FALSE(WriteToFile(*unpacker, t, damaged, true, row->size, row->crc32, &out));
    EXPECT_FALSE(WriteToFile(*unpacker, t, "x", false, 1, Crc32(0, "x", 1), &out));
}

TEST(PayloadUnpacker, RawResourceIsCheckedBeforeItIsWritten)
{
    std::string stored;
    int index = 0;
    const PayloadRow* row = RowStored(PayloadRow::Raw, &stored, &index);
    if (!row) {  // every sample file packs smaller: a file of our own
        stored = "Pixmora raw payload file";
        static PayloadRow own = {PayloadRow::FileInDestination, "TXT", 0, "", PayloadRow::Raw,
                                 (DWORD)stored.size(), Crc32(0, stored.data(), stored.size())};
        row = &own;
    }
    TempFolder t;
    std::string out;
    CPayloadUnpacker none(0);  // a build that packs nothing keeps no dictionary
    EXPECT_TRUE(WriteToFile(none, t, stored, false, row->size, row->crc32, &out));
    EXPECT_EQ(out, stored);
    std::string flipped = stored;
    flipped[flipped.size() / 2] ^= 0x01;
    EXPECT_FALSE(WriteToFile(*UnpackerAt(index), t, flipped, false, row->size, row->crc32, &out));
    EXPECT_EQ(out, "");
    EXPECT_FALSE(WriteToFile(*UnpackerAt(index), t, stored + "x", false, row->size, row->crc32, &out));
    EXPECT_TRUE(WriteToFile(*UnpackerAt(index), t, "", false, 0, 0, &out));  // an empty file is one too
}

TEST(QueryFileLength, Cases)
{
    TempFolder t;
    WriteFileBytes(t / "f", std::string(1234, 'a'));
    EXPECT_EQ(QueryFileLength((t / "f").c_str()), 1234);
    EXPECT_EQ(QueryFileLength((t / "none").c_str()), 0);
    EXPECT_EQ(QueryFileLength(""), 0);
    EXPECT_EQ(QueryFileLength(nullptr), 0);
}
