#include "link/VEQ2_Ids.h"

#include <QFile>
#include <QRegularExpression>

#include <gtest/gtest.h>

namespace {

// The rule file in the source tree (the build folder may lie anywhere).
QString RuleFile()
{
    return QStringLiteral(VEQ_SOURCE_DIR "/packaging/udev/70-veq-loader.rules");
}

} // namespace

TEST(VEQ2Ids, UdevRuleNamesTheModulesIds)
{
    EXPECT_EQ(VEQ2_VendorID, 0x1209);
    EXPECT_EQ(VEQ2_ProductID, 0x0001);
    const QString path = RuleFile();
    QFile f(path);
    ASSERT_TRUE(f.open(QIODevice::ReadOnly)) << path.toStdString();
    QStringList rules;
    for (const QString& line : QString::fromUtf8(f.readAll()).split('\n')) {
        const QString t = line.trimmed();
        if (!t.isEmpty() && !t.startsWith('#')) {
            rules << t;
        }
    }
    ASSERT_EQ(rules.size(), 1);
    const QString expected =
        QStringLiteral("KERNEL==\"hidraw*\", SUBSYSTEM==\"hidraw\", ATTRS{idVendor}==\"%1\", "
                       "ATTRS{idProduct}==\"%2\", TAG+=\"uaccess\"")
            .arg(VEQ2_VendorID, 4, 16, QLatin1Char('0'))
            .arg(VEQ2_ProductID, 4, 16, QLatin1Char('0'));
    EXPECT_EQ(rules[0], expected);
}
