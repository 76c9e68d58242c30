// The version reader on hostile input: truncated images, length and offset
// fields set to huge, tiny and self-referencing values, random byte flips
// and random noise. Each must end (no hang), read nothing outside the data
// (the sanitizer build checks that) and give either no version lines or the
// full eleven.
#include "browse/FileDetails.h"
#include "browse/PeFixture.h"
#include "browse/PeVersion.h"
#include "support/TestSupport.h"

#include <gtest/gtest.h>

#include <random>

namespace vantrel {
namespace {

using test::buildPeFixture;
using test::PeFixture;
using test::PeFixtureOptions;

PeFixture fixture(bool pe32Plus) {
    PeFixtureOptions o;
    o.pe32Plus = pe32Plus;
    o.otherTypesFirst = true;
    o.decoyTableFirst = true;
    o.moreTranslations = {{0x0407, 0x04B0}};
    o.strings = test::sampleVersionStrings();
    return buildPeFixture(o);
}

// Reads everything the details window and the pair comparison would read.
// Returns the number of version lines.
qsizetype exercise(QByteArrayView image) {
    const auto info = PeVersionInfo::fromImage(image);
    if (!info)
        return 0;
    for (const VersionTranslation& t : info->translations())
        (void)info->stringValue(t.tableKey(), u"CompanyName");
    const QStringList lines = versionLines(*info, true);
    EXPECT_TRUE(lines.isEmpty() || lines.size() == 11) << lines.size();
    return lines.size();
}

class PeFuzz : public ::testing::TestWithParam<bool> {};

TEST_P(PeFuzz, IntactFixtureReads) {
    EXPECT_EQ(exercise(fixture(GetParam()).bytes), 11);
}

TEST_P(PeFuzz, EveryTruncation) {
    const QByteArray image = fixture(GetParam()).bytes;
    qsizetype complete = 0;
    for (qsizetype length = 0; length <= image.size(); ++length) {
        // A copy of exactly `length` bytes, so that the sanitizer sees any
        // read past its end.
        const QByteArray cut(image.constData(), length);
        if (exercise(cut) == 11)
            ++complete;
    }
    // The version block ends before the section's padding does.
    EXPECT_GT(complete, 0);
}

// Values that break assumptions: zero, tiny, huge, sign bits, the field's
// own position and the positions of the directories (loops).
QList<quint32> hostileValues(const test::PeField& field, qsizetype imageSize) {
    QList<quint32> v{0,
                     1,
                     2,
                     4,
                     5,
                     6,
                     7,
                     8,
                     0x10,
                     0x28,
                     0x7FFF,
                     0x8000,
                     0xFFFE,
                     0xFFFF,
                     quint32(imageSize),
                     quint32(imageSize - 1),
                     quint32(field.offset),
                     quint32(field.offset - 0x400)};
    if (field.width == 4) {
        v += {0x10000,     0x7FFFFFFF,  0x80000000u, 0x80000001u,
              0x80000028u, 0x80000040u, 0xFFFFFFF0u, 0xFFFFFFFFu,
              0x2000,      0x2080,      0x1FFF,      0x80000000u | quint32(field.offset - 0x400)};
    }
    return v;
}

TEST_P(PeFuzz, HostileFieldValues) {
    const PeFixture fx = fixture(GetParam());
    int cases = 0;
    for (const test::PeField& field : fx.fields) {
        for (quint32 value : hostileValues(field, fx.bytes.size())) {
            QByteArray image = fx.bytes;
            if (field.width == 2)
                qToLittleEndian<quint16>(quint16(value), image.data() + field.offset);
            else
                qToLittleEndian<quint32>(value, image.data() + field.offset);
            exercise(image);
            ++cases;
        }
    }
    EXPECT_GT(cases, 1000);
}

TEST_P(PeFuzz, PairsOfHostileFields) {
    // Two fields at once catch checks that one broken field alone cannot
    // reach (a bad count behind a bad offset).
    const PeFixture fx = fixture(GetParam());
    std::mt19937 rng(GetParam() ? 77 : 78);
    for (int i = 0; i < 3000; ++i) {
        QByteArray image = fx.bytes;
        for (int k = 0; k < 2; ++k) {
            const test::PeField& field = fx.fields[int(rng() % fx.fields.size())];
            const QList<quint32> values = hostileValues(field, image.size());
            const quint32 value = values[int(rng() % values.size())];
            if (field.width == 2)
                qToLittleEndian<quint16>(quint16(value), image.data() + field.offset);
            else
                qToLittleEndian<quint32>(value, image.data() + field.offset);
        }
        exercise(image);
    }
}

TEST_P(PeFuzz, RandomByteFlips) {
    const QByteArray original = fixture(GetParam()).bytes;
    std::mt19937 rng(GetParam() ? 1234 : 4321);
    int stillComplete = 0;
    for (int i = 0; i < 6000; ++i) {
        QByteArray image = original;
        const int flips = 1 + int(rng() % 8);
        for (int k = 0; k < flips; ++k) {
            const qsizetype at = qsizetype(rng() % quint32(image.size()));
            image[at] = char(image[at] ^ char(1 + rng() % 255));
        }
        // Sometimes also cut the end off.
        if (rng() % 4 == 0)
            image.truncate(qsizetype(rng() % quint32(image.size() + 1)));
        if (exercise(QByteArray(image.constData(), image.size())) == 11)
            ++stillComplete;
    }
    // Flips in the filler and padding leave the resource readable.
    EXPECT_GT(stillComplete, 0);
}

TEST(PeFuzzNoise, RandomNoiseBehindValidHeaders) {
    const QByteArray original = fixture(false).bytes;
    std::mt19937 rng(99);
    for (int i = 0; i < 2000; ++i) {
        // Keep the headers, replace the resource section (or part of it)
        // with noise.
        QByteArray image = original;
        const qsizetype from = 0x400 + qsizetype(rng() % quint32(image.size() - 0x400));
        for (qsizetype at = from; at < image.size(); ++at)
            image[at] = char(rng());
        exercise(image);
    }
    for (int i = 0; i < 500; ++i) {
        QByteArray noise(qsizetype(rng() % 4096), Qt::Uninitialized);
        for (char& c : noise)
            c = char(rng());
        if (noise.size() >= 2) {
            noise[0] = 'M';
            noise[1] = 'Z';
        }
        exercise(noise);
    }
}

TEST(PeFuzzFiles, TruncatedFilesOnDisk) {
    const QByteArray image = fixture(true).bytes;
    test::TempTree tree;
    for (qsizetype length = 0; length <= image.size(); length += 37) {
        const QByteArray path = tree.fileWith("cut.dll", image.left(length));
        const QStringList lines = versionLines(path, false);
        EXPECT_TRUE(lines.isEmpty() || lines.size() == 11);
    }
    EXPECT_EQ(versionLines(tree.fileWith("whole.dll", image), false).size(), 11);
}

INSTANTIATE_TEST_SUITE_P(Pe32AndPe32Plus, PeFuzz, ::testing::Values(false, true));

}  // namespace
}  // namespace vantrel
