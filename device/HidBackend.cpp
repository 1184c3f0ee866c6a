#include "device/HidBackend.h"

#include <cctype>

const char* TransferKindName(HidTransferKind kind)
{
    switch (kind) {
    case HidTransferKind::FeatureSet:
        return "feature-set";
    case HidTransferKind::FeatureGet:
        return "feature-get";
    case HidTransferKind::Output:
        return "output";
    case HidTransferKind::AuxOutput:
        return "aux-output";
    }
    return "?";
}

std::string UpperCasePath(const std::string& path)
{
    std::string upper = path;
    for (char& c : upper) {
        if (c >= 'a' && c <= 'z')
            c = static_cast<char>(c - 'a' + 'A');
    }
    return upper;
}

int ParseInterfaceNumber(const std::string& path)
{
    const std::string upper = UpperCasePath(path);
    const size_t at = upper.find("&MI_");
    if (at == std::string::npos)
        return -1;
    int value = 0;
    size_t digits = 0;
    for (size_t i = at + 4; i < upper.size() && digits < 8; ++i, ++digits) {
        const char c = upper[i];
        int d;
        if (c >= '0' && c <= '9')
            d = c - '0';
        else if (c >= 'A' && c <= 'F')
            d = c - 'A' + 10;
        else
            break;
        value = value * 16 + d;
    }
    return digits ? value : -1;
}
