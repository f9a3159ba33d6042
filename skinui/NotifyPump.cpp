#include "skinui/NotifyPump.h"

#include <cctype>

#include "skinui/ControlUI.h"

namespace SkinUI {

namespace {

bool EqualsNoCase(const std::string& a, const std::string& b)
{
    if (a.size() != b.size())
        return false;
    for (size_t i = 0; i < a.size(); ++i)
        if (std::tolower(static_cast<unsigned char>(a[i])) != std::tolower(static_cast<unsigned char>(b[i])))
            return false;
    return true;
}

} // namespace

bool CNotifyPump::AddVirtualWnd(const std::string& name, CNotifyPump* pump)
{
    if (pump == nullptr || m_virtualWnds.count(name) != 0)
        return false;
    m_virtualWnds[name] = pump;
    return true;
}

bool CNotifyPump::RemoveVirtualWnd(const std::string& name) { return m_virtualWnds.erase(name) != 0; }

bool CNotifyPump::NotifyPump(TNotifyMsg& msg)
{
    if (!msg.sVirtualWnd.empty()) {
        for (auto& entry : m_virtualWnds)
            if (EqualsNoCase(entry.first, msg.sVirtualWnd) && entry.second->LoopDispatch(msg))
                return true;
    }
    return LoopDispatch(msg);
}

bool CNotifyPump::LoopDispatch(TNotifyMsg& msg)
{
    const std::string senderName = msg.pSender != nullptr ? msg.pSender->GetName() : std::string();
    for (const TNotifyMap* map = GetNotifyMap(); map != nullptr; map = map->pBase) {
        const TNotifyMapEntry* byName = nullptr;
        const TNotifyMapEntry* anyControl = nullptr;
        for (const TNotifyMapEntry& e : map->entries) {
            if (e.sType != msg.sType)
                continue;
            if (!e.sCtrlName.empty()) {
                if (e.sCtrlName == senderName) {
                    byName = &e;
                    break;
                }
            } else {
                anyControl = &e; // the last one counts
            }
        }
        const TNotifyMapEntry* found = byName != nullptr ? byName : anyControl;
        if (found == nullptr)
            continue;
        if (found->nKind == 1 && found->pfnWL)
            found->pfnWL(this, msg.wParam, msg.lParam);
        else if (found->nKind == 2 && found->pfnMsg)
            found->pfnMsg(this, msg);
        else
            return false;
        return true;
    }
    return false;
}

} // namespace SkinUI
