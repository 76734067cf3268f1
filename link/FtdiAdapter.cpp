// FtdiAdapter: listing, opening and the state exchange through libftdi. The exchange
// keeps the FT232R's FIFOs from ever refusing a write, and sizes the reads so that the
// adapter sends whole packets instead of waiting out its latency timer.
#include "link/FtdiAdapter.h"

#include <algorithm>
#include <thread>

#include <ftdi.h>
#include <libusb.h>
#include <unistd.h>

#include "link/FtdiClock.h"
#include "link/FtdiPortName.h"

namespace {

using SteadyClock = std::chrono::steady_clock;

constexpr int kStringSize = 128;
constexpr int kPacketSize = 64;
// libftdi's result when the device could not be opened (libusb_open failed), and when it
// could not detach the kernel's driver for lack of permission.
constexpr int kOpenRefused = -4;
constexpr int kClaimRefused = -5;
constexpr int kDetachNotPermitted = -8;
// ftdi_read_data passes libusb's codes through, which run from -1 to -12 (and -99).
constexpr int kLibusbLowestCode = -99;
// Reads are paced by the host only when a packet's worth of states takes this long.
constexpr std::chrono::microseconds kPaceFrom{2000};
// A batch whose samples have not all come after its slowest honest duration plus this
// has stalled.
constexpr std::chrono::milliseconds kStallMargin{2000};

struct Found {
    FtdiAdapterInfo info;
    libusb_device* device = nullptr;
};

// Lists the adapters of both product ids. The lists stay allocated until freeLists,
// since their devices are what an open needs.
bool findAll(ftdi_context* context, std::vector<Found>& found, std::vector<ftdi_device_list*>& lists, PortError* error)
{
    for (uint16_t product : {FtdiAdapterInfo::kFt232rProductId, FtdiAdapterInfo::kFt231xProductId}) {
        ftdi_device_list* list = nullptr;
        const int count = ftdi_usb_find_all(context, &list, FtdiAdapterInfo::kVendorId, product);
        if (count < 0) {
            if (error)
                *error = {PortError::Code::FtdiListFailed, {}, QString::fromUtf8(ftdi_get_error_string(context))};
            return false;
        }
        lists.push_back(list);
        for (ftdi_device_list* entry = list; entry; entry = entry->next) {
            Found one;
            one.device = entry->dev;
            one.info.productId = product;
            one.info.bus = libusb_get_bus_number(entry->dev);
            one.info.address = libusb_get_device_address(entry->dev);
            char manufacturer[kStringSize] = {};
            char description[kStringSize] = {};
            char serial[kStringSize] = {};
            const int got = ftdi_usb_get_strings(context, entry->dev, manufacturer, kStringSize, description,
                                                 kStringSize, serial, kStringSize);
            // An adapter without a serial string still answers the other two.
            one.info.readable = got != kOpenRefused;
            one.info.manufacturer = QString::fromUtf8(manufacturer).trimmed();
            one.info.description = QString::fromUtf8(description).trimmed();
            one.info.serial = QString::fromUtf8(serial).trimmed();
            found.push_back(one);
        }
    }
    return true;
}

void freeLists(std::vector<ftdi_device_list*>& lists)
{
    for (ftdi_device_list*& list : lists)
        ftdi_list_free(&list);
    lists.clear();
}

bool mayOpenNode(const QString& node)
{
    return node.isEmpty() || ::access(node.toLocal8Bit().constData(), R_OK | W_OK) == 0;
}

const char* chipTypeName(int type)
{
    switch (type) {
    case TYPE_AM: return "FT8U232AM";
    case TYPE_BM: return "FT232BM";
    case TYPE_2232C: return "FT2232C";
    case TYPE_2232H: return "FT2232H";
    case TYPE_4232H: return "FT4232H";
    case TYPE_232H: return "FT232H";
    default: return "FTDI chip";
    }
}

static_assert(FtdiAdapter::kFastBatch < FtdiAdapter::kHostToDeviceFifo + FtdiAdapter::kDeviceToHostFifo);
static_assert(FtdiAdapter::kSlowBatch <= FtdiAdapter::kHostToDeviceFifo);

size_t roundUpToPackets(size_t count)
{
    return (count + FtdiAdapter::kPacketData - 1) / FtdiAdapter::kPacketData * FtdiAdapter::kPacketData;
}

}  // namespace

std::vector<FtdiAdapterInfo> FtdiAdapter::list(PortError* error)
{
    std::vector<FtdiAdapterInfo> adapters;
    ftdi_context* context = ftdi_new();
    if (!context) {
        if (error)
            *error = {PortError::Code::FtdiListFailed, {}};
        return adapters;
    }
    std::vector<Found> found;
    std::vector<ftdi_device_list*> lists;
    if (findAll(context, found, lists, error)) {
        for (const Found& one : found)
            adapters.push_back(one.info);
    }
    freeLists(lists);
    ftdi_free(context);
    return adapters;
}

PortError FtdiAdapter::describeOpenFailure(const QString& portName, const FtdiAdapterInfo& adapter, int code,
                                           const QString& reason, bool nodeAccessible)
{
    const bool refused = code == kDetachNotPermitted || (code == kOpenRefused && !nodeAccessible);
    if (refused) {
        PortError error(PortError::Code::FtdiNoAccess, portName, reason, adapter.usbNode());
        error.adapters = {adapter};
        return error;
    }
    if (code == kClaimRefused)
        return {PortError::Code::FtdiInUse, portName, reason};
    return {PortError::Code::OpenFailed, portName, reason};
}

std::unique_ptr<FtdiAdapter> FtdiAdapter::open(const QString& portName, PortError* error)
{
    auto failWith = [error](PortError why) -> std::unique_ptr<FtdiAdapter> {
        if (error)
            *error = std::move(why);
        return nullptr;
    };
    ftdi_context* context = ftdi_new();
    if (!context)
        return failWith({PortError::Code::FtdiListFailed, portName});

    std::vector<Found> found;
    std::vector<ftdi_device_list*> lists;
    PortError why;
    if (!findAll(context, found, lists, &why)) {
        freeLists(lists);
        ftdi_free(context);
        return failWith(why);
    }
    std::vector<FtdiAdapterInfo> present;
    for (const Found& one : found)
        present.push_back(one.info);
    const int chosen = FtdiPortName::choose(portName, present, &why);
    if (chosen < 0) {
        freeLists(lists);
        ftdi_free(context);
        return failWith(why);
    }

    const FtdiAdapterInfo info = present[static_cast<size_t>(chosen)];
    // The kernel's serial driver gets the adapter back when it is closed, so the user's
    // other programs find their ttyUSB port again.
    context->module_detach_mode = AUTO_DETACH_REATACH_SIO_MODULE;
    const int opened = ftdi_usb_open_dev(context, found[static_cast<size_t>(chosen)].device);
    freeLists(lists);
    if (opened < 0) {
        const QString reason = QString::fromUtf8(ftdi_get_error_string(context));
        ftdi_free(context);
        return failWith(describeOpenFailure(portName, info, opened, reason, mayOpenNode(info.usbNode())));
    }

    std::unique_ptr<FtdiAdapter> adapter(new FtdiAdapter(context, info));
    if (context->type != TYPE_R && context->type != TYPE_230X)
        return failWith({PortError::Code::FtdiNoSyncBitBang, portName, {}, QLatin1String(chipTypeName(context->type))});
    if (!adapter->setUp())
        return failWith({PortError::Code::OpenFailed, portName, adapter->failure().reason});
    return adapter;
}

FtdiAdapter::FtdiAdapter(ftdi_context* context, FtdiAdapterInfo info)
    : context_(context), info_(std::move(info)), out_(kFastBatch), in_(kFastBatch)
{
}

FtdiAdapter::~FtdiAdapter()
{
    // Back in UART mode the pins follow the modem lines; asserting both first keeps SCK
    // low through the switch (a rising edge would clock a bit into the chip) and leaves
    // the cable as an open serial port does.
    if (!failed()) {
        ftdi_setdtr_rts(context_, 1, 1);
        ftdi_set_bitmode(context_, 0, BITMODE_RESET);
    }
    ftdi_usb_close(context_);
    ftdi_free(context_);
}

bool FtdiAdapter::setUp()
{
    context_->usb_read_timeout = static_cast<int>(kUsbTimeout.count());
    context_->usb_write_timeout = static_cast<int>(kUsbTimeout.count());
    // The bit mode goes first: libftdi scales the rate only while a bit mode is on.
    if (ftdi_set_latency_timer(context_, static_cast<unsigned char>(kLatencyTimer.count())) < 0
        || ftdi_set_bitmode(context_, FtdiPin::kOutputs, BITMODE_SYNCBB) < 0 || ftdi_tcioflush(context_) < 0) {
        recordLibftdiFailure(0, false);
        return false;
    }
    if (!setBaudValue(FtdiClock::forHalfClock(FtdiClock::kMinHalfClockUs).baudValue()))
        return false;
    // The cable at rest, as opening a serial port leaves it; this also proves the path.
    const uint8_t rest = FtdiPin::kTxd;
    uint8_t sample = 0;
    return exchange(std::span<const uint8_t>(&rest, 1), std::span<uint8_t>(&sample, 1));
}

bool FtdiAdapter::setBaudValue(int value)
{
    if (failed())
        return false;
    if (value == baudValue_)
        return true;
    const int result = ftdi_set_baudrate(context_, value);
    if (result < 0) {
        recordLibftdiFailure(result, false);
        return false;
    }
    baudValue_ = value;
    stateUs_ = FtdiClock::stateUsFor(value);
    return true;
}

bool FtdiAdapter::fastClock() const
{
    // Padding a batch to whole packets costs less than the latency timer it saves.
    const auto timer = std::chrono::duration<double, std::micro>(kLatencyTimer).count();
    return stateUs_ * static_cast<double>(kPacketData - 1) < timer;
}

bool FtdiAdapter::exchange(std::span<const uint8_t> states, std::span<uint8_t> samples)
{
    if (failed() || samples.size() != states.size())
        return false;
    const bool fast = fastClock();
    const size_t batch = fast ? kFastBatch : kSlowBatch;
    size_t done = 0;
    while (done < states.size()) {
        const size_t count = std::min(batch, states.size() - done);
        const bool last = done + count == states.size();
        const size_t sent = fast && last ? roundUpToPackets(count) : count;
        std::copy_n(states.begin() + static_cast<std::ptrdiff_t>(done), count, out_.begin());
        std::fill(out_.begin() + static_cast<std::ptrdiff_t>(count), out_.begin() + static_cast<std::ptrdiff_t>(sent),
                  states[done + count - 1]);
        const SteadyClock::time_point written = SteadyClock::now();
        if (!writeBatch(sent) || !readBatch(sent, written))
            return false;
        std::copy_n(in_.begin(), count, samples.begin() + static_cast<std::ptrdiff_t>(done));
        done += count;
    }
    return true;
}

bool FtdiAdapter::writeBatch(size_t count)
{
    const int result = ftdi_write_data(context_, out_.data(), static_cast<int>(count));
    if (result == static_cast<int>(count))
        return true;
    if (result < 0)
        recordLibftdiFailure(result, false);
    else
        recordFailure({LineFailure::Code::ShortWrite, {}, result, static_cast<qint64>(count)});
    return false;
}

bool FtdiAdapter::readBatch(size_t count, SteadyClock::time_point written)
{
    // libftdi ends a transfer when its buffer is full: a buffer of exactly the packets
    // expected ends the transfer with the last of them.
    const auto chunk = static_cast<unsigned>((count + kPacketData - 1) / kPacketData * kPacketSize);
    if (chunk != readChunk_) {
        if (ftdi_read_data_set_chunksize(context_, chunk) < 0) {
            recordLibftdiFailure(0, false);
            return false;
        }
        readChunk_ = chunk;
    }
    using Micros = std::chrono::duration<double, std::micro>;
    const auto statesTake = [this](size_t states) {
        return std::chrono::duration_cast<SteadyClock::duration>(Micros(stateUs_ * static_cast<double>(states)));
    };
    const SteadyClock::time_point deadline = written
        + statesTake(count) * static_cast<int>(FtdiClock::kSlowerReadingFactor) + kStallMargin;
    const bool paced = statesTake(kPacketData) >= kPaceFrom;
    size_t got = 0;
    while (got < count) {
        if (paced) {
            // A slow clock: ask when a packet's worth should be there rather than once per
            // latency timer. Early enough under either reading: the FIFO never fills.
            const SteadyClock::time_point due = written + statesTake(std::min(got + kPacketData, count))
                - kLatencyTimer;
            if (due > SteadyClock::now())
                std::this_thread::sleep_until(due);
        }
        const int result = ftdi_read_data(context_, in_.data() + got, static_cast<int>(count - got));
        if (result < 0) {
            recordLibftdiFailure(result, true);
            return false;
        }
        got += static_cast<size_t>(result);
        if (got < count && SteadyClock::now() > deadline) {
            recordFailure(
                {LineFailure::Code::MissingSamples, {}, static_cast<qint64>(got), static_cast<qint64>(count)});
            return false;
        }
    }
    return true;
}

void FtdiAdapter::sleepHost(std::chrono::microseconds duration)
{
    if (duration.count() > 0)
        std::this_thread::sleep_for(duration);
}

void FtdiAdapter::recordLibftdiFailure(int code, bool libusbCode)
{
    QString reason = QString::fromUtf8(ftdi_get_error_string(context_));
    // A read passes libusb's code through, and libusb words it for users
    // ("No such device (it may have been disconnected)").
    if (libusbCode && code < 0 && code >= kLibusbLowestCode)
        reason += QStringLiteral(" (%1)").arg(QString::fromUtf8(libusb_strerror(code)));
    recordFailure(reason);
}
