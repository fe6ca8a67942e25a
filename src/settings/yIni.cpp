#include "settings/yIni.h"

#include <memory>

namespace {
std::unique_ptr<yIni> &sharedSlot()
{
    static std::unique_ptr<yIni> instance;
    return instance;
}
} // namespace

yIni &yIni::Shared()
{
    if (!sharedSlot())
        sharedSlot() = std::make_unique<yIni>();
    return *sharedSlot();
}

void yIni::ReleaseShared()
{
    sharedSlot().reset();
}

void yIni::W_UserData(qintptr) {}
bool yIni::GetTxt(const QString &) { return true; }
bool yIni::SetTxt() { return false; }
void yIni::GetGtx(const QString &) {}
QVariant yIni::vGtVal(const QString &, const QVariant &defaultValue) { return defaultValue; }
void yIni::SetVal(const QString &, const QVariant &) {}
void yIni::SetGtx() {}
QVariant yIni::W_Help(const QString &) { return {}; }
