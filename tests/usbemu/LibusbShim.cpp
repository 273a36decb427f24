// libusb-1.0 as libftdi1 uses it, over the emulated bus: loaded ahead of the real library
// (LD_PRELOAD), these functions answer every libusb call libftdi1 1.5 makes. Descriptors
// come from the chip as raw bytes and are parsed here, as libusb parses what the kernel
// hands it. The asynchronous transfer calls answer "not supported": libftdi1's synchronous
// reads and writes, the only ones the program makes, never use them.
//
// morvane_usbemu_reconfigure() reads the environment again and puts a new bus in place,
// for tests that play several cases in one process.
#include <libusb.h>

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <map>
#include <memory>
#include <mutex>
#include <string>
#include <vector>

#include "EmulatedBus.h"
#include "model/Bytes.h"

using morvane::ByteCursor;
using morvane::Bytes;
using morvane::usbemu::EmulatedBus;
using morvane::usbemu::FtdiChip;

struct libusb_context {
    int unused = 0;
};

struct libusb_device {
    std::shared_ptr<FtdiChip> chip;
    std::uint8_t address = 0;
    int references = 0;
};

struct libusb_device_handle {
    libusb_device* device = nullptr;
    std::shared_ptr<FtdiChip> chip;
    bool usedController = false;  // claimed the controller's interface at some time
};

namespace {

constexpr std::uint8_t kBusNumber = 1;
constexpr std::uint8_t kFirstAddress = 2;
constexpr std::size_t kMaxEndpoints = 4;
constexpr std::size_t kStringBufferSize = 255;

// One configuration descriptor handed out, with the arrays it points into.
struct ConfigBlock {
    libusb_config_descriptor config{};
    libusb_interface interface {};
    libusb_interface_descriptor setting{};
    std::array<libusb_endpoint_descriptor, kMaxEndpoints> endpoints{};
};

// Everything the emulated library has handed out, and the bus. The registry lock is never
// held across a transfer.
class Emulator {
  public:
    ~Emulator() {
        std::lock_guard lock(mutex_);
        if (!handles_.empty() || !lists_.empty() || !configs_.empty() || contexts_.size() > 0)
            std::fprintf(stderr,
                         "usbemu: left at exit: %zu handles, %zu device lists, %zu "
                         "configuration descriptors, %zu contexts\n",
                         handles_.size(), lists_.size(), configs_.size(), contexts_.size());
        for (const auto& device : devices_)
            if (device->references > 0)
                std::fprintf(stderr, "usbemu: left at exit: device %u with %d references\n",
                             device->address, device->references);
        // The bus goes first: it saves the disk and stops the chips' backends.
        bus_.reset();
    }

    EmulatedBus& Bus() {
        std::lock_guard lock(mutex_);
        return BusLocked();
    }

    int Reconfigure() {
        std::unique_ptr<EmulatedBus> old;
        int problems = 0;
        {
            std::lock_guard lock(mutex_);
            old = std::move(bus_);
            problems = MakeBus();
        }
        return problems;  // the old bus unplugs its chips and saves as it goes
    }

    libusb_context* NewContext() {
        std::lock_guard lock(mutex_);
        BusLocked();
        contexts_.push_back(std::make_unique<libusb_context>());
        return contexts_.back().get();
    }
    void DropContext(libusb_context* ctx) {
        std::lock_guard lock(mutex_);
        std::erase_if(contexts_, [ctx](const auto& c) { return c.get() == ctx; });
    }

    // The plugged devices as a NULL-terminated list, each referenced once.
    libusb_device** NewList(std::size_t& count) {
        std::vector<std::shared_ptr<FtdiChip>> chips = Bus().PluggedChips();
        std::lock_guard lock(mutex_);
        auto list = std::make_unique<std::vector<libusb_device*>>();
        for (const auto& chip : chips) {
            libusb_device* device = DeviceOf(chip);
            ++device->references;
            list->push_back(device);
        }
        count = list->size();
        list->push_back(nullptr);
        libusb_device** head = list->data();
        lists_[head] = std::move(list);
        return head;
    }
    void FreeList(libusb_device** head, bool unreference) {
        std::lock_guard lock(mutex_);
        const auto it = lists_.find(head);
        if (it == lists_.end()) return;
        if (unreference)
            for (libusb_device* device : *it->second)
                if (device) --device->references;
        lists_.erase(it);
    }
    void Reference(libusb_device* device, int delta) {
        std::lock_guard lock(mutex_);
        device->references += delta;
    }

    libusb_config_descriptor* NewConfig(std::unique_ptr<ConfigBlock> block) {
        std::lock_guard lock(mutex_);
        libusb_config_descriptor* config = &block->config;
        configs_[config] = std::move(block);
        return config;
    }
    void FreeConfig(libusb_config_descriptor* config) {
        std::lock_guard lock(mutex_);
        configs_.erase(config);
    }

    libusb_device_handle* NewHandle(libusb_device* device) {
        std::lock_guard lock(mutex_);
        auto handle = std::make_unique<libusb_device_handle>();
        handle->device = device;
        handle->chip = device->chip;
        ++device->references;  // an open device stays referenced
        handles_.push_back(std::move(handle));
        return handles_.back().get();
    }
    void DropHandle(libusb_device_handle* handle) {
        std::lock_guard lock(mutex_);
        --handle->device->references;
        std::erase_if(handles_, [handle](const auto& h) { return h.get() == handle; });
    }

  private:
    EmulatedBus& BusLocked() {
        if (!bus_) MakeBus();
        return *bus_;
    }
    int MakeBus() {
        std::vector<std::string> problems;
        bus_ = std::make_unique<EmulatedBus>(morvane::usbemu::ReadEmuSettings(
            [](const char* name) { return std::getenv(name); }, problems));
        for (const std::string& problem : problems)
            std::fprintf(stderr, "usbemu: %s\n", problem.c_str());
        return static_cast<int>(problems.size());
    }
    // One device object per chip, for as long as the process lives.
    libusb_device* DeviceOf(const std::shared_ptr<FtdiChip>& chip) {
        for (const auto& device : devices_)
            if (device->chip == chip) return device.get();
        auto device = std::make_unique<libusb_device>();
        device->chip = chip;
        device->address = static_cast<std::uint8_t>(kFirstAddress + devices_.size());
        devices_.push_back(std::move(device));
        return devices_.back().get();
    }

    std::mutex mutex_;
    std::unique_ptr<EmulatedBus> bus_;
    std::vector<std::unique_ptr<libusb_context>> contexts_;
    std::vector<std::unique_ptr<libusb_device>> devices_;
    std::map<libusb_device**, std::unique_ptr<std::vector<libusb_device*>>> lists_;
    std::vector<std::unique_ptr<libusb_device_handle>> handles_;
    std::map<const libusb_config_descriptor*, std::unique_ptr<ConfigBlock>> configs_;
};

Emulator& Emu() {
    static Emulator emulator;
    return emulator;
}

std::string Hex(unsigned value, int digits) {
    char text[16];
    std::snprintf(text, sizeof text, "%0*x", digits, value);
    return text;
}

const std::string& Serial(const libusb_device_handle* handle) {
    return handle->chip->Identity().serial;
}

bool ParseDeviceDescriptor(const Bytes& raw, libusb_device_descriptor& d) {
    ByteCursor c(raw);
    return c.U8(d.bLength) && c.U8(d.bDescriptorType) && c.Le16(d.bcdUSB) && c.U8(d.bDeviceClass) &&
           c.U8(d.bDeviceSubClass) && c.U8(d.bDeviceProtocol) && c.U8(d.bMaxPacketSize0) &&
           c.Le16(d.idVendor) && c.Le16(d.idProduct) && c.Le16(d.bcdDevice) &&
           c.U8(d.iManufacturer) && c.U8(d.iProduct) && c.U8(d.iSerialNumber) &&
           c.U8(d.bNumConfigurations) && d.bDescriptorType == LIBUSB_DT_DEVICE;
}

// One configuration with one interface of one setting, as the FTDI chips of one port have.
std::unique_ptr<ConfigBlock> ParseConfiguration(const Bytes& raw) {
    auto block = std::make_unique<ConfigBlock>();
    libusb_config_descriptor& c = block->config;
    libusb_interface_descriptor& s = block->setting;
    ByteCursor in(raw);
    if (!in.U8(c.bLength) || !in.U8(c.bDescriptorType) || !in.Le16(c.wTotalLength) ||
        !in.U8(c.bNumInterfaces) || !in.U8(c.bConfigurationValue) || !in.U8(c.iConfiguration) ||
        !in.U8(c.bmAttributes) || !in.U8(c.MaxPower) || c.bDescriptorType != LIBUSB_DT_CONFIG ||
        c.bNumInterfaces != 1)
        return nullptr;
    if (!in.U8(s.bLength) || !in.U8(s.bDescriptorType) || !in.U8(s.bInterfaceNumber) ||
        !in.U8(s.bAlternateSetting) || !in.U8(s.bNumEndpoints) || !in.U8(s.bInterfaceClass) ||
        !in.U8(s.bInterfaceSubClass) || !in.U8(s.bInterfaceProtocol) || !in.U8(s.iInterface) ||
        s.bDescriptorType != LIBUSB_DT_INTERFACE || s.bNumEndpoints > kMaxEndpoints)
        return nullptr;
    for (std::size_t i = 0; i < s.bNumEndpoints; ++i) {
        libusb_endpoint_descriptor& e = block->endpoints[i];
        if (!in.U8(e.bLength) || !in.U8(e.bDescriptorType) || !in.U8(e.bEndpointAddress) ||
            !in.U8(e.bmAttributes) || !in.Le16(e.wMaxPacketSize) || !in.U8(e.bInterval) ||
            e.bDescriptorType != LIBUSB_DT_ENDPOINT)
            return nullptr;
    }
    s.endpoint = block->endpoints.data();
    block->interface.altsetting = &block->setting;
    block->interface.num_altsetting = 1;
    c.interface = &block->interface;
    return block;
}

// A standard GET_DESCRIPTOR of a string; bytes received or an error code.
int GetStringDescriptor(libusb_device_handle* handle, std::uint8_t index, std::uint16_t language,
                        std::span<std::uint8_t> out) {
    return handle->chip->Control(LIBUSB_ENDPOINT_IN, LIBUSB_REQUEST_GET_DESCRIPTOR,
                                 static_cast<std::uint16_t>(LIBUSB_DT_STRING << 8 | index),
                                 language, out);
}

}  // namespace

extern "C" {

int morvane_usbemu_reconfigure(void) {
    return Emu().Reconfigure();
}

int LIBUSB_CALL libusb_init(libusb_context** ctx) {
    libusb_context* made = Emu().NewContext();
    if (ctx) *ctx = made;
    return LIBUSB_SUCCESS;
}

void LIBUSB_CALL libusb_exit(libusb_context* ctx) {
    Emu().DropContext(ctx);
}

ssize_t LIBUSB_CALL libusb_get_device_list(libusb_context*, libusb_device*** list) {
    std::size_t count = 0;
    libusb_device** head = Emu().NewList(count);
    if (list) {
        *list = head;
    } else {
        Emu().FreeList(head, true);
    }
    return static_cast<ssize_t>(count);
}

void LIBUSB_CALL libusb_free_device_list(libusb_device** list, int unref_devices) {
    if (list) Emu().FreeList(list, unref_devices != 0);
}

libusb_device* LIBUSB_CALL libusb_ref_device(libusb_device* dev) {
    Emu().Reference(dev, 1);
    return dev;
}

void LIBUSB_CALL libusb_unref_device(libusb_device* dev) {
    if (dev) Emu().Reference(dev, -1);
}

int LIBUSB_CALL libusb_get_device_descriptor(libusb_device* dev,
                                             struct libusb_device_descriptor* desc) {
    return ParseDeviceDescriptor(morvane::usbemu::DeviceDescriptor(dev->chip->Identity()), *desc)
               ? LIBUSB_SUCCESS
               : LIBUSB_ERROR_IO;
}

int LIBUSB_CALL libusb_get_config_descriptor(libusb_device*, uint8_t config_index,
                                             struct libusb_config_descriptor** config) {
    if (config_index != 0) return LIBUSB_ERROR_NOT_FOUND;
    std::unique_ptr<ConfigBlock> block =
        ParseConfiguration(morvane::usbemu::ConfigurationDescriptor());
    if (!block) return LIBUSB_ERROR_IO;
    *config = Emu().NewConfig(std::move(block));
    return LIBUSB_SUCCESS;
}

void LIBUSB_CALL libusb_free_config_descriptor(struct libusb_config_descriptor* config) {
    if (config) Emu().FreeConfig(config);
}

uint8_t LIBUSB_CALL libusb_get_bus_number(libusb_device*) {
    return kBusNumber;
}

uint8_t LIBUSB_CALL libusb_get_device_address(libusb_device* dev) {
    return dev->address;
}

int LIBUSB_CALL libusb_open(libusb_device* dev, libusb_device_handle** dev_handle) {
    EmulatedBus& bus = Emu().Bus();
    if (!dev->chip->Plugged()) return LIBUSB_ERROR_NO_DEVICE;
    if (bus.Settings().noAccess) {
        bus.Log("open refused " + dev->chip->Identity().serial);
        return LIBUSB_ERROR_ACCESS;
    }
    *dev_handle = Emu().NewHandle(dev);
    bus.Log("open " + dev->chip->Identity().serial);
    return LIBUSB_SUCCESS;
}

void LIBUSB_CALL libusb_close(libusb_device_handle* dev_handle) {
    if (!dev_handle) return;
    EmulatedBus& bus = Emu().Bus();
    // Closing lets go of a claimed interface, as libusb's own close does.
    if (dev_handle->chip->ClaimedBy(dev_handle)) dev_handle->chip->Release(dev_handle, 0);
    bus.Log("close " + Serial(dev_handle));
    const bool saveDisk = dev_handle->usedController;
    Emu().DropHandle(dev_handle);
    if (saveDisk) bus.ControllerClosed();
}

int LIBUSB_CALL libusb_get_configuration(libusb_device_handle* dev, int* config) {
    if (!dev->chip->Plugged()) return LIBUSB_ERROR_NO_DEVICE;
    *config = 1;
    return LIBUSB_SUCCESS;
}

int LIBUSB_CALL libusb_set_configuration(libusb_device_handle* dev_handle, int configuration) {
    const int result =
        dev_handle->chip->Control(LIBUSB_ENDPOINT_OUT, LIBUSB_REQUEST_SET_CONFIGURATION,
                                  static_cast<std::uint16_t>(configuration), 0, {});
    return result < 0 ? result : LIBUSB_SUCCESS;
}

int LIBUSB_CALL libusb_claim_interface(libusb_device_handle* dev_handle, int interface_number) {
    const int result = dev_handle->chip->Claim(dev_handle, interface_number);
    EmulatedBus& bus = Emu().Bus();
    if (result == LIBUSB_SUCCESS) {
        bus.Log("claim " + Serial(dev_handle));
        if (bus.IsController(*dev_handle->chip)) dev_handle->usedController = true;
    }
    return result;
}

int LIBUSB_CALL libusb_release_interface(libusb_device_handle* dev_handle, int interface_number) {
    const int result = dev_handle->chip->Release(dev_handle, interface_number);
    if (result == LIBUSB_SUCCESS) Emu().Bus().Log("release " + Serial(dev_handle));
    return result;
}

int LIBUSB_CALL libusb_detach_kernel_driver(libusb_device_handle* dev_handle, int) {
    if (!dev_handle->chip->Plugged()) return LIBUSB_ERROR_NO_DEVICE;
    errno = ENODATA;  // as Linux says when no kernel driver holds the interface
    return LIBUSB_ERROR_NOT_FOUND;
}

int LIBUSB_CALL libusb_set_auto_detach_kernel_driver(libusb_device_handle*, int) {
    return LIBUSB_SUCCESS;
}

int LIBUSB_CALL libusb_get_string_descriptor_ascii(libusb_device_handle* dev_handle,
                                                   uint8_t desc_index, unsigned char* data,
                                                   int length) {
    if (desc_index == 0 || length <= 0) return LIBUSB_ERROR_INVALID_PARAM;
    std::array<std::uint8_t, kStringBufferSize> buffer{};
    int got = GetStringDescriptor(dev_handle, 0, 0, std::span(buffer).first(4));
    if (got < 0) return got;
    if (got != 4 || buffer[0] < 4 || buffer[1] != LIBUSB_DT_STRING) return LIBUSB_ERROR_IO;
    const std::uint16_t language = morvane::GetLe16(buffer, 2);
    got = GetStringDescriptor(dev_handle, desc_index, language, buffer);
    if (got < 0) return got;
    if (got < 2 || buffer[0] > got || buffer[1] != LIBUSB_DT_STRING) return LIBUSB_ERROR_IO;
    // UTF-16LE code units; what is not ASCII becomes '?'.
    int written = 0;
    for (std::size_t at = 2; at + 1 < buffer[0] && written < length - 1; at += 2) {
        const std::uint16_t unit = morvane::GetLe16(buffer, at);
        data[written++] = unit < 0x80 ? static_cast<unsigned char>(unit) : '?';
    }
    data[written] = 0;
    return written;
}

int LIBUSB_CALL libusb_control_transfer(libusb_device_handle* dev_handle, uint8_t request_type,
                                        uint8_t bRequest, uint16_t wValue, uint16_t wIndex,
                                        unsigned char* data, uint16_t wLength, unsigned int) {
    const std::span<std::uint8_t> stage =
        data ? std::span<std::uint8_t>(data, wLength) : std::span<std::uint8_t>();
    const int result = dev_handle->chip->Control(request_type, bRequest, wValue, wIndex, stage);
    Emu().Bus().Log("control " + Serial(dev_handle) + " " + Hex(request_type, 2) + " " +
                    Hex(bRequest, 2) + " " + Hex(wValue, 4) + " " + Hex(wIndex, 4) + " -> " +
                    std::to_string(result));
    return result;
}

int LIBUSB_CALL libusb_bulk_transfer(libusb_device_handle* dev_handle, unsigned char endpoint,
                                     unsigned char* data, int length, int* actual_length,
                                     unsigned int timeout) {
    if (actual_length) *actual_length = 0;
    if (length < 0 || (length > 0 && !data)) return LIBUSB_ERROR_INVALID_PARAM;
    FtdiChip& chip = *dev_handle->chip;
    if (!chip.Plugged()) return LIBUSB_ERROR_NO_DEVICE;
    const std::span<std::uint8_t> buffer(data, static_cast<std::size_t>(length));
    morvane::usbemu::BulkResult result;
    std::string what;
    if (endpoint == morvane::usbemu::kBulkOutEndpoint) {
        result = chip.BulkOut(buffer, timeout);
        what = "bulk-out ";
    } else if (endpoint == morvane::usbemu::kBulkInEndpoint) {
        result = chip.BulkIn(buffer, timeout);
        what = "bulk-in ";
    } else {
        return LIBUSB_ERROR_NOT_FOUND;
    }
    if (actual_length) *actual_length = static_cast<int>(result.moved);
    EmulatedBus& bus = Emu().Bus();
    const bool idle =
        what == "bulk-in " && result.status == 0 && result.moved <= morvane::usbemu::kStatusBytes;
    if (!idle)
        bus.Log(what + Serial(dev_handle) + " " + std::to_string(length) + " -> " +
                std::to_string(result.status) + " " + std::to_string(result.moved));
    bus.AfterTransfer();
    return result.status;
}

struct libusb_transfer* LIBUSB_CALL libusb_alloc_transfer(int) {
    return nullptr;  // libftdi1 takes this for "no memory" and gives up the asynchronous call
}

void LIBUSB_CALL libusb_free_transfer(struct libusb_transfer*) {}

int LIBUSB_CALL libusb_submit_transfer(struct libusb_transfer*) {
    return LIBUSB_ERROR_NOT_SUPPORTED;
}

int LIBUSB_CALL libusb_cancel_transfer(struct libusb_transfer*) {
    return LIBUSB_ERROR_NOT_FOUND;
}

int LIBUSB_CALL libusb_handle_events_timeout(libusb_context*, struct timeval*) {
    return LIBUSB_ERROR_NOT_SUPPORTED;
}

int LIBUSB_CALL libusb_handle_events_timeout_completed(libusb_context*, struct timeval*, int*) {
    return LIBUSB_ERROR_NOT_SUPPORTED;
}

}  // extern "C"
