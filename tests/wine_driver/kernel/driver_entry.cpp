// The Wine test driver: a PnP kernel driver that answers the board's requests by running the
// simulated board's model, one board per device, each configured from its device key. It
// exists so that the monitor's Windows build can be tested through the system's real device
// path under Wine; it is no part of the package.

#include "board/records.h"
#include "board/sim_time.h"
#include "board/windows/guid.h"
#include "board_device.h"
#include "tests/wine_driver/board_settings.h"
#include "tests/wine_driver/test_interface_class.h"

#include <array>
#include <cstddef>
#include <cstring>
#include <new>
#include <span>
#include <type_traits>

// mingw-w64's wdm.h and its intrin-impl.h both define these two in C++.
#define __INTRINSIC_DEFINED_InterlockedBitTestAndSet
#define __INTRINSIC_DEFINED_InterlockedBitTestAndReset
#include <ntddk.h>

namespace {

using wine_driver::BoardDevice;
using wine_driver::TestBoardSettings;

constexpr ULONG kPoolTag = 0x3156'4C5A; // "ZLV1" in a pool dump

constexpr auto kInterfaceClassFields =
    *board::windows::parseInterfaceClassGuid(wine_driver::kTestInterfaceClassText);
const GUID kInterfaceClass = {kInterfaceClassFields.data1,
                              kInterfaceClassFields.data2,
                              kInterfaceClassFields.data3,
                              {kInterfaceClassFields.data4[0], kInterfaceClassFields.data4[1],
                               kInterfaceClassFields.data4[2], kInterfaceClassFields.data4[3],
                               kInterfaceClassFields.data4[4], kInterfaceClassFields.data4[5],
                               kInterfaceClassFields.data4[6], kInterfaceClassFields.data4[7]}};

// The longest input record a request carries: longer inputs are read no further, as the
// model reads only its record.
constexpr std::size_t kLongestInput = sizeof(board::SOrecord);

// The device is deleted on removal without running destructors.
static_assert(std::is_trivially_destructible_v<BoardDevice>);

struct DeviceExtension {
    DEVICE_OBJECT* lower;
    UNICODE_STRING interfaceLink;
    KMUTEX lock; // requests may come from several threads of the device host
    bool removed;
    BoardDevice* board;
    // With buffered transfer the input and the output share one system buffer: the input is
    // copied out before the output is cleared for the reply.
    alignas(8) std::array<std::byte, kLongestInput> input;
    alignas(BoardDevice) std::array<unsigned char, sizeof(BoardDevice)> boardStorage;
};

DeviceExtension& extensionOf(DEVICE_OBJECT* device) {
    return *static_cast<DeviceExtension*>(device->DeviceExtension);
}

NTSTATUS complete(IRP* irp, NTSTATUS status, ULONG_PTR information) {
    irp->IoStatus.Status = status;
    irp->IoStatus.Information = information;
    IoCompleteRequest(irp, IO_NO_INCREMENT);
    return status;
}

// The system's monotonic clock (the model's time moves only with it).
board::SimTime now() {
    LARGE_INTEGER frequency{};
    const LARGE_INTEGER count = KeQueryPerformanceCounter(&frequency);
    const LONGLONG perSecond = frequency.QuadPart > 0 ? frequency.QuadPart : 1;
    return count.QuadPart / perSecond * board::kNanosPerSecond +
           count.QuadPart % perSecond * board::kNanosPerSecond / perSecond;
}

void lock(DeviceExtension& extension) {
    KeWaitForSingleObject(&extension.lock, Executive, KernelMode, FALSE, nullptr);
}

void unlock(DeviceExtension& extension) { KeReleaseMutex(&extension.lock, FALSE); }

NTSTATUS NTAPI dispatchCreate(DEVICE_OBJECT* device, IRP* irp) {
    DeviceExtension& extension = extensionOf(device);
    if (extension.removed)
        return complete(irp, STATUS_NO_SUCH_DEVICE, 0);
    // "General failure", as the simulated back-end's boards that fail to open.
    if (extension.board->failsToOpen())
        return complete(irp, STATUS_UNSUCCESSFUL, 0);
    return complete(irp, STATUS_SUCCESS, 0);
}

NTSTATUS NTAPI dispatchCloseOrCleanup(DEVICE_OBJECT*, IRP* irp) {
    return complete(irp, STATUS_SUCCESS, 0);
}

NTSTATUS NTAPI dispatchControl(DEVICE_OBJECT* device, IRP* irp) {
    DeviceExtension& extension = extensionOf(device);
    const IO_STACK_LOCATION* stack = IoGetCurrentIrpStackLocation(irp);
    const ULONG code = stack->Parameters.DeviceIoControl.IoControlCode;
    const ULONG inputLength = stack->Parameters.DeviceIoControl.InputBufferLength;
    const ULONG outputLength = stack->Parameters.DeviceIoControl.OutputBufferLength;
    auto* buffer = static_cast<std::byte*>(irp->AssociatedIrp.SystemBuffer);
    if (buffer == nullptr && (inputLength != 0 || outputLength != 0))
        return complete(irp, STATUS_INVALID_PARAMETER, 0);

    lock(extension);
    bool answered = false;
    // Wine's server opens a device without waiting for the driver's answer to the open, so
    // there a board that fails to open is opened all the same: it then refuses every request.
    if (!extension.removed && !extension.board->failsToOpen()) {
        const std::size_t kept = inputLength < kLongestInput ? inputLength : kLongestInput;
        if (kept != 0)
            std::memcpy(extension.input.data(), buffer, kept);
        if (outputLength != 0)
            std::memset(buffer, 0, outputLength);
        answered = extension.board->carryOut(code, std::span(extension.input).first(kept),
                                             std::span(buffer, outputLength), now());
    }
    const bool removed = extension.removed;
    unlock(extension);
    if (removed)
        return complete(irp, STATUS_NO_SUCH_DEVICE, 0);
    // A refused request hands back nothing: the caller's output stays as it prepared it.
    return answered ? complete(irp, STATUS_SUCCESS, outputLength)
                    : complete(irp, STATUS_INVALID_DEVICE_REQUEST, 0);
}

void markRemoved(DeviceExtension& extension) {
    lock(extension);
    extension.removed = true;
    unlock(extension);
}

NTSTATUS NTAPI dispatchPnp(DEVICE_OBJECT* device, IRP* irp) {
    DeviceExtension& extension = extensionOf(device);
    const IO_STACK_LOCATION* stack = IoGetCurrentIrpStackLocation(irp);
    DEVICE_OBJECT* lower = extension.lower;
    switch (stack->MinorFunction) {
    case IRP_MN_START_DEVICE:
        IoSetDeviceInterfaceState(&extension.interfaceLink, TRUE);
        irp->IoStatus.Status = STATUS_SUCCESS;
        break;
    case IRP_MN_SURPRISE_REMOVAL:
        markRemoved(extension);
        IoSetDeviceInterfaceState(&extension.interfaceLink, FALSE);
        irp->IoStatus.Status = STATUS_SUCCESS;
        break;
    case IRP_MN_QUERY_REMOVE_DEVICE:
    case IRP_MN_CANCEL_REMOVE_DEVICE:
    case IRP_MN_STOP_DEVICE:
    case IRP_MN_QUERY_STOP_DEVICE:
    case IRP_MN_CANCEL_STOP_DEVICE: irp->IoStatus.Status = STATUS_SUCCESS; break;
    case IRP_MN_REMOVE_DEVICE: {
        markRemoved(extension);
        IoSetDeviceInterfaceState(&extension.interfaceLink, FALSE);
        irp->IoStatus.Status = STATUS_SUCCESS;
        IoSkipCurrentIrpStackLocation(irp);
        const NTSTATUS status = IoCallDriver(lower, irp);
        IoDetachDevice(lower);
        RtlFreeUnicodeString(&extension.interfaceLink);
        IoDeleteDevice(device);
        return status;
    }
    default: break;
    }
    IoSkipCurrentIrpStackLocation(irp);
    return IoCallDriver(lower, irp);
}

NTSTATUS NTAPI dispatchPower(DEVICE_OBJECT* device, IRP* irp) {
    PoStartNextPowerIrp(irp);
    IoSkipCurrentIrpStackLocation(irp);
    return PoCallDriver(extensionOf(device).lower, irp);
}

// The board's settings from its device key, as the installer wrote them.
bool readSettings(DEVICE_OBJECT* pdo, TestBoardSettings& settings) {
    HANDLE key = nullptr;
    if (!NT_SUCCESS(IoOpenDeviceRegistryKey(pdo, PLUGPLAY_REGKEY_DEVICE, KEY_READ, &key)))
        return false;
    UNICODE_STRING name;
    RtlInitUnicodeString(&name, wine_driver::kSettingsValueNameWide);
    constexpr ULONG kSize =
        offsetof(KEY_VALUE_PARTIAL_INFORMATION, Data) + sizeof(TestBoardSettings);
    auto* value = static_cast<KEY_VALUE_PARTIAL_INFORMATION*>(
        ExAllocatePoolWithTag(PagedPool, kSize, kPoolTag));
    bool usable = false;
    if (value != nullptr) {
        ULONG length = 0;
        const NTSTATUS status =
            ZwQueryValueKey(key, &name, KeyValuePartialInformation, value, kSize, &length);
        usable = NT_SUCCESS(status) && value->Type == REG_BINARY &&
                 wine_driver::usableSettings(
                     std::span(reinterpret_cast<const std::byte*>(value->Data), value->DataLength));
        if (usable)
            std::memcpy(&settings, value->Data, sizeof settings);
        ExFreePoolWithTag(value, kPoolTag);
    }
    ZwClose(key);
    return usable;
}

NTSTATUS NTAPI addDevice(DRIVER_OBJECT* driver, DEVICE_OBJECT* pdo) {
    // Held off the stack: the record holds every fault rule.
    auto* settings = static_cast<TestBoardSettings*>(
        ExAllocatePoolWithTag(PagedPool, sizeof(TestBoardSettings), kPoolTag));
    if (settings == nullptr)
        return STATUS_INSUFFICIENT_RESOURCES;
    new (settings) TestBoardSettings{};
    if (!readSettings(pdo, *settings)) {
        ExFreePoolWithTag(settings, kPoolTag);
        return STATUS_DEVICE_CONFIGURATION_ERROR;
    }

    DEVICE_OBJECT* device = nullptr;
    NTSTATUS status = IoCreateDevice(driver, sizeof(DeviceExtension), nullptr, FILE_DEVICE_UNKNOWN,
                                     0, FALSE, &device);
    if (!NT_SUCCESS(status)) {
        ExFreePoolWithTag(settings, kPoolTag);
        return status;
    }
    DeviceExtension& extension = extensionOf(device);
    std::memset(static_cast<void*>(&extension), 0, sizeof extension);
    KeInitializeMutex(&extension.lock, 0);
    extension.board = new (extension.boardStorage.data()) BoardDevice(*settings);
    ExFreePoolWithTag(settings, kPoolTag);

    status = IoRegisterDeviceInterface(pdo, &kInterfaceClass, nullptr, &extension.interfaceLink);
    if (!NT_SUCCESS(status)) {
        IoDeleteDevice(device);
        return status;
    }
    extension.lower = IoAttachDeviceToDeviceStack(device, pdo);
    device->Flags |= DO_BUFFERED_IO;
    device->Flags &= ~DO_DEVICE_INITIALIZING;
    return STATUS_SUCCESS;
}

VOID NTAPI unload(DRIVER_OBJECT*) {}

} // namespace

extern "C" NTSTATUS NTAPI DriverEntry(DRIVER_OBJECT* driver, UNICODE_STRING*) {
    driver->DriverExtension->AddDevice = addDevice;
    driver->DriverUnload = unload;
    driver->MajorFunction[IRP_MJ_CREATE] = dispatchCreate;
    driver->MajorFunction[IRP_MJ_CLOSE] = dispatchCloseOrCleanup;
    driver->MajorFunction[IRP_MJ_CLEANUP] = dispatchCloseOrCleanup;
    driver->MajorFunction[IRP_MJ_DEVICE_CONTROL] = dispatchControl;
    driver->MajorFunction[IRP_MJ_PNP] = dispatchPnp;
    driver->MajorFunction[IRP_MJ_POWER] = dispatchPower;
    return STATUS_SUCCESS;
}
