// The paint manager's balloon tip: one MAirBladder per manager, created on first use.
#include "MAirBladder.h"
#include "PaintManager.h"

void AirBladderDeleter::operator()(MAirBladder* balloon) const { delete balloon; }

int PaintManager::SetAirBladderMsg(const wchar_t* text, POINT anchor, AIRBLADDER_TYPE type, AIRBLADDER_MODE mode)
{
    if (!m_airBladder)
        m_airBladder.reset(new MAirBladder);
    if (!m_airBladder->GetSafeHwnd() && m_hwnd && IsWindow(m_hwnd))
        m_airBladder->CreateBalloon(m_hwnd);
    return m_airBladder->SetAirBladderMsg(text, anchor, type, mode);
}

int PaintManager::ShowAirBladder(int show, int ownerId)
{
    if (!m_airBladder || !m_airBladder->GetSafeHwnd())
        return 0;
    if (ownerId != 0) {
        if (!show && ownerId != m_airBladderOwner)
            return 0; // another control's balloon: not ours to hide
        if (show)
            m_airBladderOwner = ownerId;
    }
    // Shown without taking the activation from the window the user works in.
    m_airBladder->ShowWindow(show ? SW_SHOWNOACTIVATE : SW_HIDE);
    return 1;
}
