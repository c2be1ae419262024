#include "DeviceId.h"

#include <QCryptographicHash>
#include <filesystem>
#include <fstream>
#include <iterator>

#include "HomeFolder.h"

namespace remote {

namespace {

constexpr std::size_t kIdDigits = 12;

bool ReadWhole(const char* path, std::string* contents)
{
    std::ifstream file(path, std::ios::binary);
    if (!file)
        return false;
    contents->assign(std::istreambuf_iterator<char>(file), std::istreambuf_iterator<char>());
    return !file.bad();
}

}  // namespace

std::string DeviceId(const std::string& machineId, const std::string& homeFolder)
{
    QCryptographicHash hash(QCryptographicHash::Sha256);
    hash.addData(QByteArrayView(machineId.data(), static_cast<qsizetype>(machineId.size())));
    hash.addData(QByteArrayView(homeFolder.data(), static_cast<qsizetype>(homeFolder.size())));
    return hash.result().toHex().left(kIdDigits).toStdString();
}

std::string ReadMachineId()
{
    std::string contents;
    for (const char* path : {"/etc/machine-id", "/var/lib/dbus/machine-id"})
        if (ReadWhole(path, &contents) && !contents.empty())
            return contents;
    return {};
}

std::string AbsoluteHomeFolder()
{
    std::error_code error;
    std::filesystem::path home = std::filesystem::absolute(platform::HomeFolder(), error).lexically_normal();
    std::string text = home.string();
    while (text.size() > 1 && text.back() == '/')
        text.pop_back();
    return text;
}

std::string ThisDeviceId()
{
    return DeviceId(ReadMachineId(), AbsoluteHomeFolder());
}

}  // namespace remote
