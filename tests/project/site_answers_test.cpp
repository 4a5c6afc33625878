#include "layouts/layout.h"
#include "project/check.h"
#include "project/project_file.h"

#include <QFile>
#include <QString>
#include <QStringList>

#include <gtest/gtest.h>

#include <cmath>
#include <map>
#include <string>
#include <vector>

// The object check's answers on the benchmark sites, the examples and random layouts, against
// those the check gave before it was made fast (answers.tsv, generated once): the same verdict
// and the same least clearance to the millimetre. The search proves each least to within a
// millimetre above the true one, so two correct searches differ by no more than that.
namespace {

using calc::layout::ObjectVerdict;

constexpr double kMillimetre = 0.001;

QString source(const QString &path) { return QStringLiteral(LPCALC_SOURCE_DIR "/") + path; }

struct Answer {
    std::size_t index = 0;
    bool isProtected = false;
    double clearance = 0;
};

// The recorded answers by file, in the file's order.
std::map<QString, std::vector<Answer>> recorded()
{
    QFile file(source(QStringLiteral("tests/project/sites/answers.tsv")));
    EXPECT_TRUE(file.open(QIODevice::ReadOnly | QIODevice::Text));
    std::map<QString, std::vector<Answer>> answers;
    for (const QByteArray &line : file.readAll().split('\n')) {
        const QStringList fields = QString::fromUtf8(line).split(QLatin1Char('\t'));
        if (fields.size() != 4) continue;
        answers[fields[0]].push_back({fields[1].toULongLong(),
                                      fields[2] == QLatin1String("protected"),
                                      fields[3].toDouble()});
    }
    return answers;
}

calc::layout::Layout load(const QString &path)
{
    const lplayout::LoadResult loaded = lplayout::loadProject(source(path));
    EXPECT_TRUE(loaded.file) << loaded.error.toStdString();
    return loaded.file ? loaded.file->layout : calc::layout::Layout{};
}

void expectAnswers(const QString &path, const std::vector<Answer> &expected)
{
    SCOPED_TRACE(path.toStdString());
    const calc::layout::Layout layout = load(path);
    const std::vector<ObjectVerdict> verdicts = calc::layout::checkObjects(layout);
    ASSERT_EQ(verdicts.size(), expected.size());
    for (const Answer &a : expected) {
        const ObjectVerdict &v = verdicts[a.index];
        EXPECT_EQ(v.isProtected, a.isProtected) << "object " << a.index;
        EXPECT_NEAR(v.leastClearance, a.clearance, kMillimetre) << "object " << a.index;
    }
}

// The row of 30 meshed buildings among them, which took the check before ten minutes, checked
// under a limit of time that only a hang exceeds (the test's TIMEOUT).
TEST(SiteAnswers, SameAsRecordedOnEveryLayout)
{
    const auto answers = recorded();
    ASSERT_GT(answers.size(), 30u);
    for (const auto &[path, expected] : answers) expectAnswers(path, expected);
}

// A bare square of any size, with no conductor anywhere: a sphere rests on its roof, so its
// least clearance is minus its height, exactly.
TEST(SiteAnswers, BareSquareOf800Metres)
{
    const auto verdicts =
        calc::layout::checkObjects(load(QStringLiteral("tests/project/sites/square_800.lplayout")));
    ASSERT_EQ(verdicts.size(), 1u);
    EXPECT_FALSE(verdicts[0].isProtected);
    EXPECT_NEAR(verdicts[0].leastClearance, -10, 1e-9);
    EXPECT_NEAR(verdicts[0].where.z, 10, 1e-9);
}

// The command line's check of a layout beyond the check's limits: unusable (exit status 2), the
// reason on standard error, nothing on standard output.
TEST(SiteAnswers, BeyondTheLimitsTheCommandLineSaysWhy)
{
    QString out, err;
    QTextStream outStream(&out), errStream(&err);
    const auto status =
        lplayout::runCheck(source(QStringLiteral("tests/project/sites/meshed_1.lplayout")),
                           outStream, errStream, calc::layout::CheckLimits{40, 1'000'000});
    EXPECT_EQ(status, lplayout::FileUnusable);
    EXPECT_TRUE(out.isEmpty()) << out.toStdString();
    EXPECT_TRUE(err.contains(QStringLiteral("超出校核的限度"))) << err.toStdString();
    EXPECT_TRUE(err.contains(QStringLiteral("meshed_1.lplayout: "))) << err.toStdString();
}

} // namespace
