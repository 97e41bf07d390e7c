#pragma once
// The records the provider hands out. Their layouts are an interface between separately
// built libraries: every field keeps its order, kind and width even where Velmora never
// reads it, and the asserts below hold each offset to the 64-bit layout.
//
// Text fields point to zero-terminated UTF-16 strings owned by the provider; they stay
// valid until the matching Free call. A null text field means "no value".

#include <cstddef>
#include <cstdint>

#include "base/text.h"

struct OSInfo {
  const WChar* osName;
  const WChar* osType;
  const WChar* osVersion;
  const WChar* servicePack;
  const WChar* osDescription;
  const WChar* registeredCompany;
  const WChar* registeredUser;
  const WChar* serialNumber;
  const WChar* computerName;
  const WChar* upTime;
};

struct BIOSInfo {
  const WChar* boardManufacturer;
  const WChar* boardName;
  const WChar* boardSerialNumber;
  const WChar* machineType;
  const WChar* biosName;
  const WChar* biosManufacturer;
  const WChar* biosVersion;
  const WChar* biosReleaseDate;
};

struct ProcessorInfo {
  const WChar* name;
  int32_t maxClockSpeed;
  const WChar* manufacturer;
  const WChar* processorId;
  const WChar* description;
  const WChar* slotName;
  int32_t l2CacheKB;
};

struct MemoryInfo {
  int32_t totalPhysicalMB;
  int32_t totalPageFileMB;
};

struct UserInfo {
  const WChar* currentUser;
  const WChar* lastUser;
  const WChar* domainName;
};

struct InputdeviceNode {
  const WChar* caption;
  const WChar* deviceType;
  const WChar* manufacturer;
  const WChar* description;
  InputdeviceNode* next;
};

struct ModemNode {
  const WChar* name;
  const WChar* deviceType;
  ModemNode* next;
};

struct MonitorNode {
  const WChar* manufacturer;
  const WChar* monitorType;
  const void* spare;  // holds the place of the provider's own field; never read
  MonitorNode* next;
};

struct NetworkadapterNode {
  const WChar* description;
  const WChar* adapterType;
  const WChar* macAddress;
  const WChar* ipAddress;
  const WChar* subnetMask;
  NetworkadapterNode* next;
};

struct PrinterNode {
  const WChar* name;
  const WChar* model;
  const WChar* port;
  PrinterNode* next;
};

struct StorageNode {
  const WChar* name;
  const WChar* mediaType;
  const WChar* manufacturer;
  const WChar* model;
  int32_t sizeMB;
  const WChar* description;
  StorageNode* next;
};

struct SystemcontrollerNode {
  const WChar* name;
  const WChar* controllerType;
  const WChar* manufacturer;
  SystemcontrollerNode* next;
};

struct SystemslotNode {
  const WChar* name;
  const WChar* smbiosString;
  SystemslotNode* next;
};

struct VideoadapterNode {
  const WChar* name;
  const WChar* videoProcessor;
  int32_t memoryMB;
  const WChar* manufacturer;
  const WChar* dacType;
  int32_t refreshRateHz;
  const WChar* driverVersion;
  const WChar* driverDate;
  const WChar* resolution;
  VideoadapterNode* next;
};

struct PhyMemoryNode {
  const WChar* moduleName;
  const WChar* description;
  const WChar* deviceLocator;
  int32_t capacityMB;
  int32_t speedMHz;
  const WChar* manufacturer;
  int32_t dataWidth;
  const WChar* memoryType;
  PhyMemoryNode* next;
};

// Offsets of the 64-bit layout: pointers are 8 bytes at 8-byte alignment, a 32-bit integer
// followed by a pointer leaves a 4-byte gap, two integers in a row share 8 bytes.
#define VELMORA_FIELD_AT(type, field, offset) \
  static_assert(offsetof(type, field) == (offset), #type "." #field " moved")

static_assert(sizeof(void*) == 8, "the record layouts are those of a 64-bit process");

VELMORA_FIELD_AT(OSInfo, osName, 0);
VELMORA_FIELD_AT(OSInfo, osType, 8);
VELMORA_FIELD_AT(OSInfo, osVersion, 16);
VELMORA_FIELD_AT(OSInfo, servicePack, 24);
VELMORA_FIELD_AT(OSInfo, osDescription, 32);
VELMORA_FIELD_AT(OSInfo, registeredCompany, 40);
VELMORA_FIELD_AT(OSInfo, registeredUser, 48);
VELMORA_FIELD_AT(OSInfo, serialNumber, 56);
VELMORA_FIELD_AT(OSInfo, computerName, 64);
VELMORA_FIELD_AT(OSInfo, upTime, 72);
static_assert(sizeof(OSInfo) == 80);

VELMORA_FIELD_AT(BIOSInfo, boardManufacturer, 0);
VELMORA_FIELD_AT(BIOSInfo, boardName, 8);
VELMORA_FIELD_AT(BIOSInfo, boardSerialNumber, 16);
VELMORA_FIELD_AT(BIOSInfo, machineType, 24);
VELMORA_FIELD_AT(BIOSInfo, biosName, 32);
VELMORA_FIELD_AT(BIOSInfo, biosManufacturer, 40);
VELMORA_FIELD_AT(BIOSInfo, biosVersion, 48);
VELMORA_FIELD_AT(BIOSInfo, biosReleaseDate, 56);
static_assert(sizeof(BIOSInfo) == 64);

VELMORA_FIELD_AT(ProcessorInfo, name, 0);
VELMORA_FIELD_AT(ProcessorInfo, maxClockSpeed, 8);
VELMORA_FIELD_AT(ProcessorInfo, manufacturer, 16);
VELMORA_FIELD_AT(ProcessorInfo, processorId, 24);
VELMORA_FIELD_AT(ProcessorInfo, description, 32);
VELMORA_FIELD_AT(ProcessorInfo, slotName, 40);
VELMORA_FIELD_AT(ProcessorInfo, l2CacheKB, 48);
static_assert(sizeof(ProcessorInfo) == 56);

VELMORA_FIELD_AT(MemoryInfo, totalPhysicalMB, 0);
VELMORA_FIELD_AT(MemoryInfo, totalPageFileMB, 4);
static_assert(sizeof(MemoryInfo) == 8);

VELMORA_FIELD_AT(UserInfo, currentUser, 0);
VELMORA_FIELD_AT(UserInfo, lastUser, 8);
VELMORA_FIELD_AT(UserInfo, domainName, 16);
static_assert(sizeof(UserInfo) == 24);

VELMORA_FIELD_AT(InputdeviceNode, caption, 0);
VELMORA_FIELD_AT(InputdeviceNode, deviceType, 8);
VELMORA_FIELD_AT(InputdeviceNode, manufacturer, 16);
VELMORA_FIELD_AT(InputdeviceNode, description, 24);
VELMORA_FIELD_AT(InputdeviceNode, next, 32);
static_assert(sizeof(InputdeviceNode) == 40);

VELMORA_FIELD_AT(ModemNode, name, 0);
VELMORA_FIELD_AT(ModemNode, deviceType, 8);
VELMORA_FIELD_AT(ModemNode, next, 16);
static_assert(sizeof(ModemNode) == 24);

VELMORA_FIELD_AT(MonitorNode, manufacturer, 0);
VELMORA_FIELD_AT(MonitorNode, monitorType, 8);
VELMORA_FIELD_AT(MonitorNode, spare, 16);
VELMORA_FIELD_AT(MonitorNode, next, 24);
static_assert(sizeof(MonitorNode) == 32);

VELMORA_FIELD_AT(NetworkadapterNode, description, 0);
VELMORA_FIELD_AT(NetworkadapterNode, adapterType, 8);
VELMORA_FIELD_AT(NetworkadapterNode, macAddress, 16);
VELMORA_FIELD_AT(NetworkadapterNode, ipAddress, 24);
VELMORA_FIELD_AT(NetworkadapterNode, subnetMask, 32);
VELMORA_FIELD_AT(NetworkadapterNode, next, 40);
static_assert(sizeof(NetworkadapterNode) == 48);

VELMORA_FIELD_AT(PrinterNode, name, 0);
VELMORA_FIELD_AT(PrinterNode, model, 8);
VELMORA_FIELD_AT(PrinterNode, port, 16);
VELMORA_FIELD_AT(PrinterNode, next, 24);
static_assert(sizeof(PrinterNode) == 32);

VELMORA_FIELD_AT(StorageNode, name, 0);
VELMORA_FIELD_AT(StorageNode, mediaType, 8);
VELMORA_FIELD_AT(StorageNode, manufacturer, 16);
VELMORA_FIELD_AT(StorageNode, model, 24);
VELMORA_FIELD_AT(StorageNode, sizeMB, 32);
VELMORA_FIELD_AT(StorageNode, description, 40);
VELMORA_FIELD_AT(StorageNode, next, 48);
static_assert(sizeof(StorageNode) == 56);

VELMORA_FIELD_AT(SystemcontrollerNode, name, 0);
VELMORA_FIELD_AT(SystemcontrollerNode, controllerType, 8);
VELMORA_FIELD_AT(SystemcontrollerNode, manufacturer, 16);
VELMORA_FIELD_AT(SystemcontrollerNode, next, 24);
static_assert(sizeof(SystemcontrollerNode) == 32);

VELMORA_FIELD_AT(SystemslotNode, name, 0);
VELMORA_FIELD_AT(SystemslotNode, smbiosString, 8);
VELMORA_FIELD_AT(SystemslotNode, next, 16);
static_assert(sizeof(SystemslotNode) == 24);

VELMORA_FIELD_AT(VideoadapterNode, name, 0);
VELMORA_FIELD_AT(VideoadapterNode, videoProcessor, 8);
VELMORA_FIELD_AT(VideoadapterNode, memoryMB, 16);
VELMORA_FIELD_AT(VideoadapterNode, manufacturer, 24);
VELMORA_FIELD_AT(VideoadapterNode, dacType, 32);
VELMORA_FIELD_AT(VideoadapterNode, refreshRateHz, 40);
VELMORA_FIELD_AT(VideoadapterNode, driverVersion, 48);
VELMORA_FIELD_AT(VideoadapterNode, driverDate, 56);
VELMORA_FIELD_AT(VideoadapterNode, resolution, 64);
VELMORA_FIELD_AT(VideoadapterNode, next, 72);
static_assert(sizeof(VideoadapterNode) == 80);

VELMORA_FIELD_AT(PhyMemoryNode, moduleName, 0);
VELMORA_FIELD_AT(PhyMemoryNode, description, 8);
VELMORA_FIELD_AT(PhyMemoryNode, deviceLocator, 16);
VELMORA_FIELD_AT(PhyMemoryNode, capacityMB, 24);
VELMORA_FIELD_AT(PhyMemoryNode, speedMHz, 28);
VELMORA_FIELD_AT(PhyMemoryNode, manufacturer, 32);
VELMORA_FIELD_AT(PhyMemoryNode, dataWidth, 40);
VELMORA_FIELD_AT(PhyMemoryNode, memoryType, 48);
VELMORA_FIELD_AT(PhyMemoryNode, next, 56);
static_assert(sizeof(PhyMemoryNode) == 64);

#undef VELMORA_FIELD_AT
