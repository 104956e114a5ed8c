// Placeholder until this unit is built; replaced by the real one.
#include "media/sound.h"

#include "platform/types.h"

TSoundDevice::TSoundDevice() = default;
TSoundDevice::~TSoundDevice() = default;
bool TSoundDevice::Initialize() { return false; }
void TSoundDevice::Finalize() {}
bool TSoundDevice::Initialized() const { return false; }
void TWaveItem::Play(bool) {}
TWaveList::TWaveList(TSoundDevice* d) : device(d) {}
TWaveList::~TWaveList() = default;
void TWaveList::LoadFromFile(const std::string&) {}
TWaveItem& TWaveList::Find(const std::string& name) { throw EGameError("Wave '" + name + "' not found"); }
void InitSound() {}
