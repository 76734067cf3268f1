// The AVR fuse and lock groups on their own: the bytes they give and show (a checked
// box is a programmed bit, 0), where each bit's box sits, which button asks for what,
// and what a chip without these bits leaves in them.
#include <gtest/gtest.h>

#include <QCheckBox>
#include <QLayout>
#include <QPushButton>
#include <QSignalSpy>

#include "app/AvrLockGroup.h"
#include "app/FuseBitsGroup.h"
#include "tests/app/FindNamed.h"

namespace {

QCheckBox* fuseBox(const FuseBitsGroup& group, int bit, bool high)
{
    return findNamed<QCheckBox>(group, QStringLiteral("CheckboxFuse%1%2").arg(bit).arg(high ? 'h' : 'l'));
}

QCheckBox* lockBox(const AvrLockGroup& group, int bit)
{
    return findNamed<QCheckBox>(group, QStringLiteral("CheckBoxLock%1").arg(bit));
}

QPoint where(const QWidget* box) { return box->geometry().center(); }

TEST(FuseBitsGroup, EachBitHasItsOwnBoxInBothDirections)
{
    FuseBitsGroup group;
    EXPECT_EQ(group.fuseBytes().low, 0xFF);
    EXPECT_EQ(group.fuseBytes().high, 0xFF);
    for (int bit = 0; bit < 8; ++bit) {
        const auto only = static_cast<uint8_t>(~(1u << bit));
        group.setFuseBytes(only, 0xFF);
        EXPECT_EQ(group.fuseBytes().low, only) << bit;
        EXPECT_EQ(group.fuseBytes().high, 0xFF) << bit;
        for (int other = 0; other < 8; ++other)
            EXPECT_EQ(fuseBox(group, other, false)->isChecked(), other == bit) << bit << " " << other;
        group.setFuseBytes(0xFF, only);
        EXPECT_EQ(group.fuseBytes().high, only) << bit;
        EXPECT_TRUE(fuseBox(group, bit, true)->isChecked()) << bit;
    }
    fuseBox(group, 3, true)->click();  // EESAVE: the box the user clicks is the bit written
    EXPECT_EQ(group.fuseBytes().high, 0x7F & 0xF7);
}

TEST(FuseBitsGroup, HighByteOnTheLeftBitSevenOnTopButtonsBelow)
{
    FuseBitsGroup group;
    group.adjustSize();
    group.layout()->activate();
    for (int bit = 0; bit < 8; ++bit) {
        EXPECT_LT(where(fuseBox(group, bit, true)).x(), where(fuseBox(group, bit, false)).x()) << bit;
        EXPECT_EQ(where(fuseBox(group, bit, true)).y(), where(fuseBox(group, bit, false)).y()) << bit;
        if (bit > 0) {
            EXPECT_LT(where(fuseBox(group, bit, true)).y(), where(fuseBox(group, bit - 1, true)).y()) << bit;
        }
        EXPECT_EQ(fuseBox(group, bit, true)->font().strikeOut(), bit == 5) << "only SPIEN is struck through";
    }
    EXPECT_EQ(fuseBox(group, 5, true)->text(), QStringLiteral("SPIEN (5)"));
    const auto* read = findNamed<QPushButton>(group, QStringLiteral("ButtonReadFuse"));
    const auto* write = findNamed<QPushButton>(group, QStringLiteral("ButtonWriteFuse"));
    EXPECT_GT(where(read).y(), where(fuseBox(group, 0, true)).y());
    EXPECT_LT(where(read).x(), where(write).x());
}

TEST(AvrLockGroup, SixBoxesAndTheTwoHighBitsReadOne)
{
    AvrLockGroup group;
    EXPECT_EQ(group.lockByte(), 0xFF);
    group.setLockByte(0x00);  // bits 6 and 7 have no box
    EXPECT_EQ(group.lockByte(), 0xC0);
    group.setLockByte(0xDE);  // LB1 and BLB12
    for (int bit = 0; bit < 6; ++bit)
        EXPECT_EQ(lockBox(group, bit)->isChecked(), bit == 0 || bit == 5) << bit;
    EXPECT_EQ(group.lockByte(), 0xDE);
    lockBox(group, 1)->click();
    EXPECT_EQ(group.lockByte(), 0xDC);
}

TEST(AvrLockGroup, ColumnsRunFromBootLockBitsToLockBitsHigherBitAbove)
{
    AvrLockGroup group;
    group.adjustSize();
    group.layout()->activate();
    const QStringList captions{"LB1", "LB2", "BLB01", "BLB02", "BLB11", "BLB12"};
    for (int bit = 0; bit < 6; ++bit) {
        EXPECT_EQ(lockBox(group, bit)->text(), captions[bit]);
        if (bit % 2 == 1) {
            EXPECT_LT(where(lockBox(group, bit)).y(), where(lockBox(group, bit - 1)).y()) << bit;
        }
        if (bit >= 2) {
            EXPECT_LT(where(lockBox(group, bit)).x(), where(lockBox(group, bit - 2)).x()) << bit;
        }
    }
}

TEST(AvrBitGroups, ReadAndWriteButtonsAskForWhatTheySay)
{
    FuseBitsGroup fuses;
    AvrLockGroup lock;
    fuses.setButtonTexts(QStringLiteral("Read"), QStringLiteral("Write"));
    lock.setReadButtonText(QStringLiteral("Read"));
    QSignalSpy fuseRead(&fuses, &FuseBitsGroup::readRequested), fuseWrite(&fuses, &FuseBitsGroup::writeRequested);
    QSignalSpy lockRead(&lock, &AvrLockGroup::readRequested), lockWrite(&lock, &AvrLockGroup::writeRequested);

    auto* readFuses = findNamed<QPushButton>(fuses, QStringLiteral("ButtonReadFuse"));
    auto* writeFuses = findNamed<QPushButton>(fuses, QStringLiteral("ButtonWriteFuse"));
    auto* readLock = findNamed<QPushButton>(lock, QStringLiteral("ButtonReadLockAvr"));
    auto* writeLock = findNamed<QPushButton>(lock, QStringLiteral("ButtonLockAvr"));
    EXPECT_EQ(readFuses->text(), QStringLiteral("Read"));
    EXPECT_EQ(writeFuses->text(), QStringLiteral("Write"));
    EXPECT_EQ(readLock->text(), QStringLiteral("Read"));
    EXPECT_EQ(writeLock->text(), QStringLiteral("Lock"));

    readFuses->click();
    readLock->click();
    EXPECT_EQ(fuseRead.count() + lockRead.count(), 2);
    EXPECT_EQ(fuseWrite.count() + lockWrite.count(), 0);
    writeFuses->click();
    writeLock->click();
    EXPECT_EQ(fuseWrite.count() + lockWrite.count(), 2);
    EXPECT_EQ(fuseRead.count() + lockRead.count(), 2);
}

TEST(AvrBitGroups, AChipWithoutTheseBitsGetsClearedDisabledBoxesAndUsableButtons)
{
    FuseBitsGroup fuses;
    AvrLockGroup lock;
    fuses.setFuseBytes(0x00, 0x00);
    lock.setLockByte(0x00);
    fuses.setBoxesUsable(false);
    lock.setBoxesUsable(false);
    EXPECT_EQ(fuses.fuseBytes().low, 0xFF);
    EXPECT_EQ(fuses.fuseBytes().high, 0xFF);
    EXPECT_EQ(lock.lockByte(), 0xFF);
    for (int bit = 0; bit < 8; ++bit)
        EXPECT_FALSE(fuseBox(fuses, bit, true)->isEnabled() || fuseBox(fuses, bit, false)->isEnabled()) << bit;
    for (int bit = 0; bit < 6; ++bit)
        EXPECT_FALSE(lockBox(lock, bit)->isEnabled()) << bit;
    for (const QPushButton* button : fuses.findChildren<QPushButton*>() + lock.findChildren<QPushButton*>())
        EXPECT_TRUE(button->isEnabled()) << qPrintable(button->objectName());

    fuses.setFuseBytes(0x12, 0x34);
    fuses.setBoxesUsable(true);  // an AVR again: its boxes keep what they show
    EXPECT_EQ(fuses.fuseBytes().low, 0x12);
    EXPECT_TRUE(fuseBox(fuses, 0, false)->isEnabled());
}

}  // namespace
