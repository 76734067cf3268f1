// Real avr-gcc output through the whole path a user takes: an example's HEX file is
// written into a chip with kestova-cli, the chip's flash is read back into a file, and
// what was read runs in simavr, which watches the pins and the USART. On both chip
// models: the simulated chips and ../shared/visp.
#include <gtest/gtest.h>

#include <cstring>
#include <functional>

#include "tests/cli/DeviceCliFixture.h"
#include "tests/support/ScratchFiles.h"

#ifdef KESTOVA_HAVE_SIMAVR
extern "C" {
#include <avr_ioport.h>
#include <avr_uart.h>
#include <sim_avr.h>
#include <sim_io.h>
}
#endif

namespace {

// What the firmware did while simavr ran it.
struct Observed {
    std::vector<uint8_t> portB;  // every value written to PORTB, in order
    std::string uart;            // every byte the USART sent
};

#ifdef KESTOVA_HAVE_SIMAVR
void keepPortWrite(avr_irq_t*, uint32_t value, void* observed)
{
    static_cast<Observed*>(observed)->portB.push_back(static_cast<uint8_t>(value));
}
void keepUartByte(avr_irq_t*, uint32_t value, void* observed)
{
    static_cast<Observed*>(observed)->uart.push_back(static_cast<char>(value));
}
#endif

// Runs a flash image on a simulated mcu at the given clock for that many cycles; false
// where this build has no simavr.
bool runInSimavr(const QByteArray& flash, const char* mcu, uint32_t frequency, uint64_t cycles, Observed* observed)
{
#ifdef KESTOVA_HAVE_SIMAVR
    avr_t* avr = avr_make_mcu_by_name(mcu);
    if (!avr)
        return false;
    avr_init(avr);
    avr->frequency = frequency;
    avr->log = 0;
    std::memcpy(avr->flash, flash.constData(), std::min<size_t>(size_t(flash.size()), avr->flashend + 1));
    avr->codeend = avr->flashend;
    avr_irq_register_notify(avr_io_getirq(avr, AVR_IOCTL_IOPORT_GETIRQ('B'), IOPORT_IRQ_REG_PORT), keepPortWrite,
                            observed);
    if (avr_irq_t* uart = avr_io_getirq(avr, AVR_IOCTL_UART_GETIRQ('0'), UART_IRQ_OUTPUT)) {
        uint32_t flags = 0;
        avr_ioctl(avr, AVR_IOCTL_UART_GET_FLAGS('0'), &flags);
        flags &= ~uint32_t(AVR_UART_FLAG_STDIO);  // the test keeps what is sent; nothing on the console
        avr_ioctl(avr, AVR_IOCTL_UART_SET_FLAGS('0'), &flags);
        avr_irq_register_notify(uart, keepUartByte, observed);
    }
    while (avr->cycle < cycles) {
        const int state = avr_run(avr);
        if (state == cpu_Done || state == cpu_Crashed)
            break;
    }
    avr_terminate(avr);
    return true;
#else
    (void)flash, (void)mcu, (void)frequency, (void)cycles, (void)observed;
    return false;
#endif
}

enum class Backend { Sim, Visp };

struct Example {
    const char* file;    // in examples/
    const char* chip;    // --chip, SIM: keyword and VISP_CHIP
    const char* mcu;     // simavr's name
    uint32_t frequency;  // the clock the firmware was built for
    uint64_t cycles;     // enough for what the check looks at
    std::function<void(const Observed&)> check;
    Backend backend = Backend::Sim;
};

void PrintTo(const Example& e, std::ostream* os)
{
    *os << e.file << (e.backend == Backend::Sim ? " on sim" : " on visp");
}

std::vector<Example> allExamples()
{
    const std::vector<Example> examples = {
        // The light runs PB0, PB1, ..., PB4 and back, and round again.
        {"attiny85-chaser.hex", "attiny85", "attiny85", 1000000, 1200000,
         [](const Observed& o) {
             const std::vector<uint8_t> expected = {0x01, 0x02, 0x04, 0x08, 0x10, 0x08, 0x04, 0x02, 0x01, 0x02};
             ASSERT_GE(o.portB.size(), expected.size());
             EXPECT_EQ(std::vector<uint8_t>(o.portB.begin(), o.portB.begin() + 10), expected);
         }},
        // The greeting on the USART, then PB5 toggling twice a second.
        {"atmega328p-hello.hex", "atmega328p", "atmega328p", 16000000, 20000000,
         [](const Observed& o) {
             EXPECT_EQ(o.uart, "Hello from the ATmega328P\r\n");
             ASSERT_GE(o.portB.size(), 3u);
             EXPECT_EQ(o.portB[0], 0x20);
             EXPECT_EQ(o.portB[1], 0x00);
             EXPECT_EQ(o.portB[2], 0x20);
         }},
    };
    std::vector<Example> cases;
    for (Backend backend : {Backend::Sim, Backend::Visp})
        for (Example e : examples) {
            e.backend = backend;
            cases.push_back(e);
        }
    return cases;
}

class ExampleInSimavr : public DeviceCli, public ::testing::WithParamInterface<Example> {};

TEST_P(ExampleInSimavr, WrittenReadBackAndRunFromWhatTheChipHeld)
{
    const Example& e = GetParam();
    QProcessEnvironment env;
    QString port = QStringLiteral("SIM:") + QLatin1String(e.chip);
    if (e.backend == Backend::Visp) {
        if (!haveVisp())
            GTEST_SKIP() << "the virtual serial port was not built";
        visp({QStringLiteral("init"), vispState(), QLatin1String(e.chip)});
        env = underVisp(e.chip);
        port = vispDevice();
    }
    const QStringList chip = {QStringLiteral("--port"), port, QStringLiteral("--chip"), QLatin1String(e.chip)};
    const QString hex = QStringLiteral(KESTOVA_SOURCE_DIR "/examples/") + QLatin1String(e.file);
    CliRun run = cli(chip + QStringList{QStringLiteral("write"), hex}, env);
    ASSERT_EQ(run.exitCode, 0) << run.err.toStdString();
    const QString back = dir_.filePath(QStringLiteral("back.bin"));
    run = cli(chip + QStringList{QStringLiteral("read"), back}, env);
    ASSERT_EQ(run.exitCode, 0) << run.err.toStdString();

    Observed observed;
    if (!runInSimavr(readAll(back), e.mcu, e.frequency, e.cycles, &observed))
        GTEST_SKIP() << "simavr is missing (libsimavr-dev, which scripts/setup installs): the image was written "
                        "and read back but not run";
    e.check(observed);
}

INSTANTIATE_TEST_SUITE_P(BothModels, ExampleInSimavr, ::testing::ValuesIn(allExamples()),
                         [](const ::testing::TestParamInfo<Example>& info) {
                             return std::string(info.param.chip)
                                 + (info.param.backend == Backend::Sim ? "_sim" : "_visp");
                         });

}  // namespace
