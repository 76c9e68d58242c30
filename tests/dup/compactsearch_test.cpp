// The compact search against the search that kept every candidate's line
// (ReferenceDupSearch): the same rows, in the same order, with the same
// lines, for every criterion, both modes, the size conditions and limits, on
// generated file lists full of the cases that decide the order: case variants
// beyond ASCII, names that are not UTF-8, equal names in many folders, sizes
// whose texts sort apart from their values, equal and unrecorded times.

#include "ReferenceDupSearch.h"

#include "dup/DupSearch.h"
#include "text/Formats.h"

#include <gtest/gtest.h>

#include <QLocale>
#include <QSet>

#include <random>
#include <vector>

namespace vantrel {
namespace {

struct GeneratedFile {
    FileRecord record;
    QByteArray folder;
};

// Files as a walk lists them: folder by folder, several files a folder.
std::vector<GeneratedFile> generate(unsigned seed, int count) {
    static const char* const names[] = {
        "readme.txt", "README.TXT", "Readme.Txt", "a", "A", "ab", "a b", "a_b", "a.txt",
        "\xC3\xA9t\xC3\xA9.doc",     // été
        "\xC3\x89T\xC3\x89.DOC",     // ÉTÉ
        "\xCE\xA3\xCE\xBF.txt",      // Σο
        "\xCF\x83\xCE\xBF.TXT",      // σο
        "\xCF\x82\xCE\xBF.txt",      // ςο
        "\xE2\x84\xAA" "elvin",      // Kelvin sign
        "kelvin", "KELVIN",
        "\xC5\xBFtop", "stop",      // long s
        "x\xFF", "X\xFF", "x\xFE", "x\xC3", "bad\x80name.JPG", "bad\x80NAME.jpg",
        "tab\there", "line\nbreak",
        "photo.jpg", "PHOTO.JPG", "photo.jpeg", "photo.JPEG.jpg", "notes.md", "song.mp3",
        "\xF0\x9F\x98\x80.png", "\xF0\x90\x90\x80x", "\xF0\x90\x90\xA8X",  // outside the BMP
        "IMG_0001.jpg", "img_0001.JPG", "IMG_00010.jpg", "longer name with blanks.txt",
        "abcdefgh", "ABCDEFGHI", "abcdefgh.x", "abcdefg\xC3\xA9", ".hidden", "noext", "",
    };
    static const char* const folders[] = {
        "/", "/home/u", "/home/u/docs", "/home/U/Docs", "/srv/\xFF\xFE", "/data/t\tab",
        "/m/caf\xC3\xA9", "/m/CAF\xC3\x89", "/deep/a/b/c/d/e/f/g",
    };
    // Sizes whose texts order otherwise than their values ("1,000" < "12").
    static const qint64 sizes[] = {0, 1, 12, 100, 999, 1000, 1001, 12000, 256000, 999999,
                                   1000000, 5LL << 30};
    static const qint64 times[] = {1'600'000'000, 1'600'000'001, 1'600'000'060,
                                   1'600'086'400, 100'000'000 /* before 1980 */,
                                   4'200'000'000 /* 2103 */};
    std::mt19937 rng(seed);
    auto pick = [&rng](auto& array) -> const auto& {
        return array[std::uniform_int_distribution<std::size_t>(0, std::size(array) - 1)(rng)];
    };
    std::vector<GeneratedFile> out;
    QSet<QByteArray> paths;  // a folder holds a name once
    QByteArray folder;
    for (int i = 0; i < count; ++i) {
        if (i % 7 == 0) {
            folder = pick(folders);
            if (rng() % 3 == 0 && folder != "/")
                folder += "/sub" + QByteArray::number(int(rng() % 4));
        }
        GeneratedFile f;
        f.folder = folder;
        FileRecord& r = f.record;
        r.name = pick(names);
        r.mode = 0100644;
        r.attr = attributesFor(r.mode, r.name.constData(), r.name.size());
        r.size = pick(sizes);
        r.writeTime = FileTime{pick(times), 0, rng() % 11 != 0};
        r.accessTime = FileTime{pick(times) + 7200, 0, rng() % 13 != 0};
        if (!paths.contains(joinPath(folder, r.name))) {
            paths.insert(joinPath(folder, r.name));
            out.push_back(f);
        }
    }
    return out;
}

struct Setting {
    bool duplicateMode;
    DupCriterion criterion;
    SizeCondition condition;
    qint64 limit1;
    qint64 limit2;
};

std::string describe(const Setting& s);
void PrintTo(const Setting& s, std::ostream* os) {
    *os << describe(s);
}

std::string describe(const Setting& s) {
    return std::string(s.duplicateMode ? "dup" : "hogs") + " criterion " +
           std::to_string(int(s.criterion)) + " condition " + std::to_string(int(s.condition)) +
           " limits " + std::to_string(s.limit1) + "/" + std::to_string(s.limit2);
}

// Runs both searches over the same files and compares every row.
void expectSameRows(const Setting& setting, const std::vector<GeneratedFile>& files) {
    DupSearchOptions options;
    options.duplicateMode = setting.duplicateMode;
    options.criterion = setting.criterion;
    options.condition = setting.condition;
    options.limit1 = setting.limit1;
    options.limit2 = setting.limit2;
    DupSearch compact(options);
    reference::ReferenceDupSearch reference(options);
    for (const GeneratedFile& f : files) {
        const auto a = compact.addFile(f.record, f.folder);
        const auto b = reference.addFile(f.record, f.folder);
        ASSERT_EQ(int(a), int(b));
    }
    ASSERT_EQ(compact.candidateCount(), reference.candidateCount());
    const std::vector<DupCandidate> got = compact.finish();
    const std::vector<DupCandidate> want = reference.finish();
    ASSERT_EQ(got.size(), want.size()) << describe(setting);
    for (std::size_t i = 0; i < got.size(); ++i) {
        ASSERT_EQ(got[i].path, want[i].path) << describe(setting) << " row " << i;
        ASSERT_EQ(got[i].line, want[i].line) << describe(setting) << " row " << i;
        ASSERT_EQ(got[i].size, want[i].size);
        ASSERT_EQ(got[i].modified, want[i].modified);
        ASSERT_EQ(got[i].accessed, want[i].accessed);
    }
}

std::vector<Setting> allSettings() {
    std::vector<Setting> out;
    const Setting limits[] = {
        {true, {}, SizeCondition::LargerOrEqual, 0, 0},
        {true, {}, SizeCondition::LargerOrEqual, 1000, 0},
        {true, {}, SizeCondition::SmallerOrEqual, 12000, 0},
        {true, {}, SizeCondition::Between, 12, 999999},
    };
    for (bool mode : {true, false}) {
        for (int c = 0; c < 7; ++c) {
            for (Setting s : limits) {
                s.duplicateMode = mode;
                s.criterion = DupCriterion(c);
                out.push_back(s);
            }
            if (!mode)
                break;  // file hogs have no criterion
        }
    }
    return out;
}

class CompactSearch : public ::testing::TestWithParam<Setting> {};

TEST_P(CompactSearch, RowsAreThoseOfTheLineList) {
    for (unsigned seed : {1u, 2u, 3u})
        expectSameRows(GetParam(), generate(seed, 1500));
}

INSTANTIATE_TEST_SUITE_P(EveryCriterionModeAndLimit, CompactSearch,
                         ::testing::ValuesIn(allSettings()));

// One name in thousands of folders, in case variants: a group larger than
// anything the generated lists make, ordered within by the rest of the line.
TEST(CompactSearchGroups, OneNameInManyFolders) {
    std::vector<GeneratedFile> files;
    static const char* const variants[] = {"Same.TXT", "same.txt", "SAME.txt", "s\xC3\xA0me.txt",
                                           "S\xC3\x80ME.TXT"};
    for (int i = 0; i < 3000; ++i) {
        GeneratedFile f;
        f.folder = "/f" + QByteArray::number(i % 600 % 97) + "/g" + QByteArray::number(i % 600);
        f.record.name = variants[i / 600];
        f.record.mode = 0100644;
        f.record.size = (i % 3) * 1000 + (i % 2);
        f.record.writeTime = FileTime{1'600'000'000 + (i % 4), 0, true};
        f.record.accessTime = FileTime{1'600'000'000, 0, true};
        files.push_back(f);
    }
    for (int c = 0; c < 7; ++c)
        expectSameRows({true, DupCriterion(c), SizeCondition::LargerOrEqual, 0, 0}, files);
    expectSameRows({false, DupCriterion::FilenameOnly, SizeCondition::LargerOrEqual, 0, 0}, files);
}

// The size texts of the keys follow the locale's thousands separator, as
// the lines' texts do.
TEST(CompactSearchGroups, SizeTextsFollowTheSeparator) {
    const QLocale before = TextLocale::current().locale;
    for (const char* name : {"de_DE", "fr_FR", "en_US"}) {
        TextLocale::set(QLocale(QString::fromLatin1(name)));
        for (int c : {1, 3, 5})
            expectSameRows({true, DupCriterion(c), SizeCondition::LargerOrEqual, 0, 0},
                           generate(7, 800));
    }
    TextLocale::set(before);
}

// The capacity in files and in memory: the first file past it is refused and
// the search stays usable.
TEST(CompactSearchGroups, CapacityRefusesTheNextFile) {
    DupSearchOptions options;
    options.limit1 = 0;
    options.capacity = 3;
    DupSearch byCount(options);
    const std::vector<GeneratedFile> files = generate(5, 10);
    for (int i = 0; i < 3; ++i)
        ASSERT_EQ(byCount.addFile(files[i].record, files[i].folder), DupSearch::Added::Kept);
    EXPECT_EQ(byCount.addFile(files[3].record, files[3].folder), DupSearch::Added::Full);

    options.capacity = 1000;
    options.memoryCapacity = 1;
    DupSearch byMemory(options);
    EXPECT_EQ(byMemory.addFile(files[0].record, files[0].folder), DupSearch::Added::Kept);
    EXPECT_GT(byMemory.candidateBytes(), 0);
    EXPECT_EQ(byMemory.addFile(files[1].record, files[1].folder), DupSearch::Added::Full);
    EXPECT_EQ(byMemory.candidateCount(), 1);
    byMemory.finish();
}

// Default limits: ten million files in about 1.2 GB.
TEST(CompactSearchGroups, DefaultCapacityAdmitsTenMillionFiles) {
    const DupSearchOptions options;
    EXPECT_GE(options.capacity, 10'000'000);
    DupSearch s(options);
    FileRecord r;
    r.name = "IMG_20240101_123456.jpg";
    r.size = 300000;
    for (int i = 0; i < 1000; ++i)
        s.addFile(r, "/home/someone/Pictures/2024/January/Trip " + QByteArray::number(i / 50));
    EXPECT_LE(s.candidateBytes() * 10'000, options.memoryCapacity);
}

TEST(CompactSearchGroups, AppendedExactTextsEqualTheWholeOnes) {
    for (const GeneratedFile& f : generate(11, 300)) {
        QString appended = QStringLiteral("pre");
        appendExactNameText(appended, f.record.name.constData(), f.record.name.size());
        EXPECT_EQ(appended, QStringLiteral("pre") + exactNameText(f.record.name));
    }
}

}  // namespace
}  // namespace vantrel
