#pragma once

#include "dxf/drawing.h"
#include "layouts/layout.h"

#include <QFile>
#include <QString>

#include <gtest/gtest.h>

#include <cmath>
#include <utility>
#include <vector>

// Drawings for the tests: those ezdxf writes into the build tree (tests/dxf/make_drawings.py,
// run by CTest before these), and those kept in tests/dxf/examples.
namespace dxf_test {

inline QString written(const char *name)
{
    return QStringLiteral(LPCALC_TEST_DRAWINGS "/") + QString::fromUtf8(name);
}
inline QString example(const char *name)
{
    return QStringLiteral(LPCALC_TEST_EXAMPLES "/") + QString::fromUtf8(name);
}

inline QByteArray bytesOf(const QString &path)
{
    QFile f(path);
    EXPECT_TRUE(f.open(QIODevice::ReadOnly)) << path.toStdString();
    return f.readAll();
}

inline dxf::Drawing load(const QString &path)
{
    dxf::ReadResult read = dxf::loadDrawing(path);
    if (!read.drawing) ADD_FAILURE() << path.toStdString() << ": " << read.error.toStdString();
    return read.drawing ? std::move(*read.drawing) : dxf::Drawing{};
}

// The footprint is the expected corners in the same order, to a micrometre.
inline void expectFootprint(const std::vector<calc::layout::Corner> &got,
                            const std::vector<std::pair<double, double>> &expected)
{
    ASSERT_EQ(got.size(), expected.size());
    for (std::size_t i = 0; i < got.size(); ++i) {
        EXPECT_NEAR(got[i].x, expected[i].first, 1e-6) << "corner " << i;
        EXPECT_NEAR(got[i].y, expected[i].second, 1e-6) << "corner " << i;
    }
}

// Every corner lies on the circle, and the chords keep within `tolerance` of it; an arc's
// (not closed) from its first corner to its last.
inline void expectRound(const std::vector<calc::layout::Corner> &got, double cx, double cy,
                        double r, double tolerance, bool closed = true)
{
    for (const auto &c : got) EXPECT_NEAR(std::hypot(c.x - cx, c.y - cy), r, 1e-6);
    for (std::size_t i = 0; i + (closed ? 0 : 1) < got.size(); ++i) {
        const auto &a = got[i], &b = got[(i + 1) % got.size()];
        const double mid = std::hypot((a.x + b.x) / 2 - cx, (a.y + b.y) / 2 - cy);
        EXPECT_LE(r - mid, tolerance + 1e-9) << "chord " << i;
    }
}

} // namespace dxf_test
