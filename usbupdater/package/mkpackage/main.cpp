// ondavia-mkpackage: builds firmware packages for the USB updater and lists
// what a package holds.

#include "firmwarepackage.h"
#include "firmwareunpacker.h"
#include "packagewriter.h"
#include "resource.h"

#include <boost/algorithm/string/classification.hpp>
#include <boost/algorithm/string/split.hpp>
#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

using namespace MVNFirmwarePackage;

namespace {

const char kUsage[] =
    "Usage: ondavia-mkpackage -o PACKAGE --image FILE [IMAGE OPTIONS] [--image FILE ...]\n"
    "       ondavia-mkpackage --list PACKAGE [--device TYPE:ID] [--headers]\n"
    "\n"
    "Building: every --image starts a new resource; the options after it describe it.\n"
    "  -o, --output FILE   the package to write\n"
    "  --image FILE        the image as the device receives it\n"
    "  --version N         firmware version of the image (default 0)\n"
    "  --format NAME       binary (default), xsvf, xmega or hashed\n"
    "  --compress          store the image as a zlib stream\n"
    "  --version-header    for EEPROM images: set byte 0 of the image to 0 and byte 1\n"
    "                      to the version (0..255), the header the updater reads back;\n"
    "                      bytes 2 and 3 of the image may not both be 0xFF\n"
    "  --hash N            hash word of the record (default: CRC-32 of the image)\n"
    "  --device DEVICE     a device header; give one or more per image\n"
    "      DEVICE is TYPE:ID followed by any of ,resource=N ,target=N ,address=N ,sub=N ,length=L\n"
    "      TYPE:ID is usb:VID:PID, usb:0xVVVVPPPP, pci:ID or rev:ID\n"
    "      resource = firmware part of the device, target = memory that receives it,\n"
    "      address = byte address in that memory, sub = target sub id,\n"
    "      length = device header length 16..24 (default 24; below 20 there is no sub id)\n"
    "\n"
    "Listing: checks the package digest (unless --headers) and prints the resources\n"
    "for each device named in it, or only for the device given.\n"
    "\n"
    "Numbers are decimal or 0x-prefixed hexadecimal.\n"
    "\n"
    "  -h, --help          print this help and exit\n"
    "  --version           alone, without an image: print the version and exit\n";

[[noreturn]] void die(const std::string& message)
{
    std::fprintf(stderr, "ondavia-mkpackage: %s\n", message.c_str());
    std::exit(1);
}

bool parseNumber(const std::string& text, uint64_t max, uint64_t& value)
{
    if (text.empty() || text[0] == '-' || text[0] == '+')
        return false;
    errno = 0;
    char* end = nullptr;
    const unsigned long long v = std::strtoull(text.c_str(), &end, 0);
    if (errno != 0 || *end != '\0' || v > max)
        return false;
    value = v;
    return true;
}

uint64_t number(const std::string& text, uint64_t max, const char* what)
{
    uint64_t v = 0;
    if (!parseNumber(text, max, v))
        die(std::string("bad ") + what + ": \"" + text + "\"");
    return v;
}

// TYPE:ID, with usb:VID:PID as a convenience.
void parseDeviceId(const std::string& text, DeviceIdType& type, uint32_t& id)
{
    std::vector<std::string> parts;
    boost::algorithm::split(parts, text, boost::algorithm::is_any_of(":"));
    if (parts.size() < 2)
        die("bad device \"" + text + "\": expected TYPE:ID");
    if (parts[0] == "usb")
        type = USB;
    else if (parts[0] == "pci")
        type = PCI;
    else if (parts[0] == "rev")
        type = REV;
    else
        die("bad device type \"" + parts[0] + "\": expected usb, pci or rev");
    if (parts.size() == 3 && type == USB) {
        const uint64_t vid = number(parts[1], 0xFFFF, "vendor id");
        const uint64_t pid = number(parts[2], 0xFFFF, "product id");
        id = UsbDeviceId(uint16_t(vid), uint16_t(pid));
    } else if (parts.size() == 2) {
        id = uint32_t(number(parts[1], UINT32_MAX, "device id"));
    } else {
        die("bad device \"" + text + "\"");
    }
}

DeviceHeaderSpec parseDeviceSpec(const std::string& text)
{
    std::vector<std::string> fields;
    boost::algorithm::split(fields, text, boost::algorithm::is_any_of(","));
    DeviceHeaderSpec header;
    parseDeviceId(fields[0], header.device_id_type, header.device_id);
    for (size_t i = 1; i < fields.size(); ++i) {
        const size_t eq = fields[i].find('=');
        if (eq == std::string::npos)
            die("bad device field \"" + fields[i] + "\": expected NAME=VALUE");
        const std::string name = fields[i].substr(0, eq);
        const std::string value = fields[i].substr(eq + 1);
        if (name == "resource")
            header.resource_id = uint8_t(number(value, 0xFF, "resource id"));
        else if (name == "target")
            header.target_id = uint8_t(number(value, 0xFF, "target id"));
        else if (name == "address")
            header.address_offset = uint32_t(number(value, UINT32_MAX, "address"));
        else if (name == "sub")
            header.target_sub_id = value == "-1" ? -1 : int32_t(uint32_t(number(value, UINT32_MAX, "sub id")));
        else if (name == "length")
            header.length = uint16_t(number(value, kMaxDeviceHeaderLength, "device header length"));
        else
            die("unknown device field \"" + name + "\"");
    }
    if (header.length < kMinDeviceHeaderLength)
        die("a device header is 16 to 24 bytes long");
    return header;
}

ResourceFormat parseFormat(const std::string& text)
{
    if (text == "binary")
        return BINARY;
    if (text == "xsvf")
        return XSVF;
    if (text == "xmega")
        return XMEGA;
    if (text == "hashed")
        return HASHED_BINARY;
    die("unknown format \"" + text + "\": expected binary, xsvf, xmega or hashed");
}

std::vector<uint8_t> readImage(const std::string& path)
{
    std::ifstream in(path, std::ios::binary);
    if (!in)
        die(path + ": " + std::strerror(errno));
    std::vector<uint8_t> data((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    if (in.bad())
        die(path + ": read failed");
    return data;
}

const char* typeName(DeviceIdType type)
{
    return type == PCI ? "PCI" : type == USB ? "USB" : "REV";
}

int list(const std::string& path, bool haveDevice, DeviceIdType type, uint32_t id, bool headersOnly)
{
    FirmwareUnpacker unpacker;
    unpacker.init(path);
    std::vector<std::pair<DeviceIdType, uint32_t>> devices;
    if (haveDevice) {
        devices.emplace_back(type, id);
    } else {
        // Check the digest before walking a layout that may be damaged.
        ResourceList none;
        const ErrorCode rc = headersOnly ? ERROR_OK : unpacker.queryResources(type, id, none);
        FreeResourceList(none);
        if (rc != ERROR_OK)
            die(path + ": " + FirmwarePackageErrorString(rc));
        std::string error;
        if (!ListPackageDevices(path, devices, &error))
            die(path + ": " + error);
    }
    for (const auto& device : devices) {
        ResourceList resources;
        const ErrorCode rc = headersOnly ? unpacker.queryHeaders(device.first, device.second, resources)
                                         : unpacker.queryResources(device.first, device.second, resources);
        if (rc != ERROR_OK)
            die(path + ": " + FirmwarePackageErrorString(rc));
        std::printf("Device %s 0x%08X\n", typeName(device.first), device.second);
        DumpResourceListInfo(resources);
        if (resources.empty())
            std::printf("\n");
        // Inflating proves a compressed image is intact, which the digest alone can't.
        for (Resource* r : resources) {
            if (!headersOnly && !r->decompressResource())
                die(path + ": a compressed image does not inflate to its stated length");
        }
        FreeResourceList(resources);
    }
    if (devices.empty())
        std::printf("Empty\n");
    return 0;
}

} // namespace

int main(int argc, char** argv)
{
    std::vector<std::string> args(argv + 1, argv + argc);
    if (args.empty() || args[0] == "-h" || args[0] == "--help") {
        std::fputs(kUsage, args.empty() ? stderr : stdout);
        return args.empty() ? 2 : 0;
    }
    // After --image, --version is the image's firmware version.
    if (args.size() == 1 && args[0] == "--version") {
        std::puts("ondavia-mkpackage (Ondavia) " ONDAVIA_VERSION);
        return 0;
    }

    std::string output, listPath;
    bool headersOnly = false, haveDevice = false;
    DeviceIdType listType = USB;
    uint32_t listId = 0;
    PackageWriter writer;
    std::vector<ImageSpec> images;
    std::vector<bool> versionHeader; // per image

    auto value = [&](size_t& i) -> const std::string& {
        if (i + 1 >= args.size())
            die(args[i] + " needs a value");
        return args[++i];
    };
    auto current = [&](const std::string& option) -> ImageSpec& {
        if (images.empty())
            die(option + " must follow --image");
        return images.back();
    };

    for (size_t i = 0; i < args.size(); ++i) {
        const std::string& a = args[i];
        if (a == "-o" || a == "--output") {
            output = value(i);
        } else if (a == "--list") {
            listPath = value(i);
        } else if (a == "--headers") {
            headersOnly = true;
        } else if (a == "--image") {
            images.emplace_back();
            images.back().data = readImage(value(i));
        } else if (a == "--version") {
            current(a).version = uint32_t(number(value(i), UINT32_MAX, "version"));
        } else if (a == "--format") {
            current(a).format = parseFormat(value(i));
        } else if (a == "--compress") {
            current(a).compress = true;
        } else if (a == "--version-header") {
            current(a);
            versionHeader.resize(images.size(), false);
            versionHeader.back() = true;
        } else if (a == "--hash") {
            current(a).hash = uint32_t(number(value(i), UINT32_MAX, "hash"));
        } else if (a == "--device") {
            const std::string& header = value(i);
            if (images.empty()) {
                haveDevice = true;
                parseDeviceId(header, listType, listId);
            } else {
                current(a).devices.push_back(parseDeviceSpec(header));
            }
        } else if (a == "-h" || a == "--help") {
            std::fputs(kUsage, stdout);
            return 0;
        } else {
            die("unknown option \"" + a + "\" (see --help)");
        }
    }

    if (!listPath.empty()) {
        if (!images.empty() || !output.empty())
            die("--list does not combine with building");
        return list(listPath, haveDevice, listType, listId, headersOnly);
    }
    if (haveDevice)
        die("--device must follow --image (or go with --list)");
    if (output.empty())
        die("no output package given (-o)");
    if (images.empty())
        die("no image given (--image)");
    versionHeader.resize(images.size(), false);
    for (size_t i = 0; i < images.size(); ++i) {
        ImageSpec& image = images[i];
        if (versionHeader[i]) {
            if (image.version > 0xFF)
                die("image " + std::to_string(i + 1) + ": a version header holds versions 0 to 255");
            if (image.data.size() < 4)
                die("image " + std::to_string(i + 1) + ": an EEPROM image is at least 4 bytes long");
            // The updater writes bytes 2 and 3 last and reads them still
            // erased as an update cut short: such an image would be offered
            // again on every plug-in.
            if (image.data[2] == 0xFF && image.data[3] == 0xFF)
                die("image " + std::to_string(i + 1)
                    + ": bytes 2 and 3 of an EEPROM image with a version header must not both be 0xFF"
                      " (the updater would take the image for one cut short and update it for ever)");
            image.data[0] = 0;
            image.data[1] = uint8_t(image.version);
        }
        writer.addImage(std::move(image));
    }
    std::string error;
    if (!writer.writeFile(output, &error))
        die(output + ": " + error);
    return 0;
}
