#include "framework/Messages.h"
#include "framework/Controls_p.h"

#include <atomic>
#include <map>
#include <mutex>

namespace {
std::mutex RegisteredMutex;
std::map<String, Cardinal> Registered;
std::atomic<Byte> KeyStates[256];  // bit 0x80 down, bit 0x01 toggled
}  // namespace

Cardinal RegisterWindowMessage(const String& Name) {
    std::lock_guard lock(RegisteredMutex);
    auto it = Registered.find(Name);
    if (it != Registered.end()) return it->second;
    Cardinal id = 0xC000 + Cardinal(Registered.size());
    Registered.emplace(Name, id);
    return id;
}

void SetKeyDown(int VirtKey, bool Down) {
    if (VirtKey <= 0 || VirtKey > 255) return;
    Byte old = KeyStates[VirtKey].load();
    Byte now = Down ? Byte(old | 0x80) : Byte(old & ~0x80);
    if (Down && !(old & 0x80)) now ^= 0x01;
    KeyStates[VirtKey] = now;
    // The side-neutral codes follow their left and right keys.
    auto pair = [](int l, int r, int both) {
        bool d = (KeyStates[l].load() & 0x80) || (KeyStates[r].load() & 0x80);
        Byte b = KeyStates[both].load();
        KeyStates[both] = d ? Byte(b | 0x80) : Byte(b & ~0x80);
    };
    pair(VK_LSHIFT, VK_RSHIFT, VK_SHIFT);
    pair(VK_LCONTROL, VK_RCONTROL, VK_CONTROL);
    pair(VK_LMENU, VK_RMENU, VK_MENU);
}

void ResetKeyStates() {
    for (auto& k : KeyStates) k = 0;
}

SmallInt GetKeyState(int VirtKey) {
    if (VirtKey <= 0 || VirtKey > 255) return 0;
    Byte s = KeyStates[VirtKey].load();
    return SmallInt((s & 0x80 ? 0x8000 : 0) | (s & 0x01));
}

SmallInt GetAsyncKeyState(int VirtKey) { return SmallInt(GetKeyState(VirtKey) & 0x8000); }

TShiftState KeyboardStateToShiftState() {
    TShiftState s;
    if (GetKeyState(VK_SHIFT) < 0) s.Include(ssShift);
    if (GetKeyState(VK_CONTROL) < 0) s.Include(ssCtrl);
    if (GetKeyState(VK_MENU) < 0) s.Include(ssAlt);
    if (GetKeyState(VK_LBUTTON) < 0) s.Include(ssLeft);
    if (GetKeyState(VK_RBUTTON) < 0) s.Include(ssRight);
    if (GetKeyState(VK_MBUTTON) < 0) s.Include(ssMiddle);
    return s;
}

TShiftState KeysToShiftState(WPARAM Keys) {
    TShiftState s;
    if (Keys & MK_SHIFT) s.Include(ssShift);
    if (Keys & MK_CONTROL) s.Include(ssCtrl);
    if (Keys & MK_LBUTTON) s.Include(ssLeft);
    if (Keys & MK_RBUTTON) s.Include(ssRight);
    if (Keys & MK_MBUTTON) s.Include(ssMiddle);
    if (GetKeyState(VK_MENU) < 0) s.Include(ssAlt);
    return s;
}

TShiftState KeyDataToShiftState(LPARAM KeyData) {
    constexpr LPARAM AltMask = 0x20000000;  // context code bit of key messages
    TShiftState s;
    if (GetKeyState(VK_SHIFT) < 0) s.Include(ssShift);
    if (GetKeyState(VK_CONTROL) < 0) s.Include(ssCtrl);
    if (KeyData & AltMask) s.Include(ssAlt);
    return s;
}
