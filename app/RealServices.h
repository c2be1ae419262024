#pragma once
// The real services and the message box, installed for as long as this lives.
#include <memory>

namespace platform {
class QtMessenger;
}

class RealServices {
public:
    RealServices();
    ~RealServices();
    RealServices(const RealServices&) = delete;
    RealServices& operator=(const RealServices&) = delete;

    platform::QtMessenger& Messenger();

private:
    struct Parts;
    std::unique_ptr<Parts> parts_;
};
