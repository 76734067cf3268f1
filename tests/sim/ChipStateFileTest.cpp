// The simulated chips' state files: the files users already have keep loading as
// they are, and what the newer AVRs keep (the extended fuse) survives a closed port.
#include <QTemporaryDir>
#include <QtEndian>
#include <functional>
#include <gtest/gtest.h>
#include <thread>

#include "link/IspLink.h"
#include "link/LineDriver.h"
#include "sim/ChipStateFile.h"
#include "sim/SimChipCatalogue.h"
#include "target/ChipCatalogue.h"
#include "tests/sim/SimFolderTest.h"
#include "tests/support/ScratchFiles.h"

namespace {

QByteArray le32(quint32 v)
{
    QByteArray bytes(4, '\0');
    qToLittleEndian(v, bytes.data());
    return bytes;
}

// An ATmega8 file as the versions before the extended fuse wrote it: its fourth
// fuse-and-lock byte reserved, always 0.
QByteArray earlierAtmega8File(const QByteArray& flash, const QByteArray& eeprom)
{
    return QByteArray("KSIMCHP1") + le32(static_cast<quint32>(SimChipType::Atmega8)) + le32(quint32(flash.size()))
        + le32(quint32(eeprom.size())) + QByteArray("\xE4\xC9\xFC\x00", 4) + flash + eeprom;
}

TEST(ChipStateFile, AFileOfAnEarlierVersionLoadsAndIsSavedAgainByteForByte)
{
    ScratchDir dir;
    QByteArray flash(8192, '\xFF'), eeprom(512, '\xFF');
    flash[0x100] = '\x12';
    eeprom[0x1FF] = '\x34';
    const QByteArray earlier = earlierAtmega8File(flash, eeprom);
    const QString path = dir.write(QStringLiteral("atmega8.simchip"), earlier);

    auto chip = makeChipModel(SimChipType::Atmega8);
    ASSERT_EQ(loadChipState(path, *chip), ChipStateLoad::Loaded);
    const ChipMemories& m = chip->memories();
    EXPECT_EQ(m.lowFuse, 0xE4);
    EXPECT_EQ(m.highFuse, 0xC9);
    EXPECT_EQ(m.lock, 0xFC);
    EXPECT_EQ(m.flash[0x100], 0x12);
    EXPECT_EQ(m.eeprom[0x1FF], 0x34);

    // Saved again it is the same file, so an earlier version still reads it.
    ASSERT_TRUE(saveChipState(path, *chip, nullptr));
    EXPECT_EQ(readAll(path), earlier);
}

class SimChipFiles : public SimFolderTest {
protected:
    // One programming session on SIM:keyword; the chip is saved when the port closes.
    static void session(const char* keyword, const std::function<void(IspLink&)>& body)
    {
        LineDriver line;
        ASSERT_TRUE(line.open(QStringLiteral("SIM:%1").arg(QLatin1String(keyword))));
        int32_t writeDelay = 0;
        IspLink isp(line, writeDelay);
        isp.setProtocol(&chipForKeyword(QStringLiteral("atmega8"))->isp);  // the AVRs' shared enable
        isp.enterProgrammingMode();
        ASSERT_TRUE(isp.checkSync());
        body(isp);
    }
    static uint8_t send(IspLink& isp, std::initializer_list<uint8_t> bytes)
    {
        uint8_t reply = 0;
        for (uint8_t b : bytes)
            reply = isp.transferByte(b);
        return reply;
    }
    static void waitOutCycle() { std::this_thread::sleep_for(std::chrono::milliseconds(15)); }
};

TEST_F(SimChipFiles, TheExtendedFuseAndAPagedEepromWriteOutliveThePort)
{
    session("atmega328p", [](IspLink& isp) {
        send(isp, {0xAC, 0xA4, 0x00, 0xFD});  // BODLEVEL 2.7 V
        waitOutCycle();
        send(isp, {0xC1, 0x00, 0x02, 0x5A});
        send(isp, {0xC2, 0x03, 0xF8, 0x00});
        waitOutCycle();
    });
    session("ATMEGA328P", [](IspLink& isp) {
        EXPECT_EQ(send(isp, {0x50, 0x08, 0x00, 0x00}), 0xFD);
        EXPECT_EQ(send(isp, {0x50, 0x00, 0x00, 0x00}), 0x62) << "the other fuses as they were";
        EXPECT_EQ(send(isp, {0xA0, 0x03, 0xFA, 0x00}), 0x5A);
        EXPECT_EQ(send(isp, {0xA0, 0x03, 0xF9, 0x00}), 0xFF);
    });
    // Every chip keeps a file of its own.
    session("atmega328", [](IspLink& isp) { EXPECT_EQ(send(isp, {0x50, 0x08, 0x00, 0x00}), 0xFF); });
}

}  // namespace
