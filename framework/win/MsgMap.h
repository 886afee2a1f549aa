// Message maps: the static tables through which windows and command targets
// route window messages, commands, control notifications and their reflections.
//
// A class declares DECLARE_MESSAGE_MAP() and defines its table with
// BEGIN_MESSAGE_MAP(Class, Base) ... END_MESSAGE_MAP(); a class template uses
// BEGIN_TEMPLATE_MESSAGE_MAP(Class, T, Base<T>). Each table chains to the
// base's table, so an entry of the class wins over the base's entry.
//
// Entries that name a handler take its bare member name (ON_COMMAND(ID_X, OnX));
// the macros qualify it with the class whose table is being defined.
#pragma once

#include "framework/Core.h"

#include <commctrl.h>

class CCmdTarget;
class CWnd;
class CCmdUI;

typedef void (CCmdTarget::*AFX_PMSG)();
typedef void (CWnd::*AFX_PMSGW)();

// Handler signatures; the dispatcher converts the message parameters for each.
enum AfxSig : UINT {
    AfxSig_end = 0,
    // commands and notifications (CCmdTarget::OnCmdMsg)
    AfxSigCmd_v,         // void ()
    AfxSigCmd_b,         // BOOL ()             reflected _EX forms
    AfxSigCmd_RANGE,     // void (UINT id)
    AfxSigCmd_EX,        // BOOL (UINT id)
    AfxSigCmdUI,         // void (CCmdUI*)
    AfxSigCmdUI_RANGE,   // void (CCmdUI*, UINT id)
    AfxSigNotify_v,      // void (NMHDR*, LRESULT*)
    AfxSigNotify_b,      // BOOL (NMHDR*, LRESULT*)
    AfxSigNotify_RANGE,  // void (UINT id, NMHDR*, LRESULT*)
    AfxSigNotify_EX,     // BOOL (UINT id, NMHDR*, LRESULT*)
    // window messages (CWnd::OnWndMsg)
    AfxSig_vv,         // void ()
    AfxSig_lwl,        // LRESULT (WPARAM, LPARAM)
    AfxSig_is,         // int (LPCREATESTRUCT)
    AfxSig_bD,         // BOOL (CDC*)
    AfxSig_vD,         // void (CDC*)
    AfxSig_vwp,        // void (UINT, CPoint)
    AfxSig_bwsp,       // BOOL (UINT, short, CPoint)
    AfxSig_vp,         // void (CPoint)
    AfxSig_lp,         // LRESULT (CPoint)            WM_NCHITTEST
    AfxSig_vW,         // void (CWnd*)
    AfxSig_vWp,        // void (CWnd*, CPoint)       WM_CONTEXTMENU
    AfxSig_vb,         // void (BOOL)
    AfxSig_bb,         // BOOL (BOOL)                 WM_NCACTIVATE
    AfxSig_vbw,        // void (BOOL, UINT)           WM_SHOWWINDOW
    AfxSig_vbh,        // void (BOOL, DWORD)          WM_ACTIVATEAPP
    AfxSig_vwWb,       // void (UINT, CWnd*, BOOL)    WM_ACTIVATE
    AfxSig_iWww,       // int (CWnd*, UINT, UINT)     WM_MOUSEACTIVATE
    AfxSig_bWww,       // BOOL (CWnd*, UINT, UINT)    WM_SETCURSOR
    AfxSig_vwii,       // void (UINT, int, int)       WM_SIZE
    AfxSig_vii,        // void (int, int)             WM_MOVE
    AfxSig_vwwW,       // void (UINT, UINT, CScrollBar*)  WM_HSCROLL/WM_VSCROLL
    AfxSig_vww,        // void (UINT, UINT)           reflected scroll: code, pos
    AfxSig_vwww,       // void (UINT, UINT, UINT)     keys and characters
    AfxSig_vwl,        // void (UINT, LPARAM)         WM_SYSCOMMAND
    AfxSig_vw,         // void (UINT)                 WM_TIMER (UINT_PTR id)
    AfxSig_uv,         // UINT ()                     WM_GETDLGCODE
    AfxSig_hDWw,       // HBRUSH (CDC*, CWnd*, UINT)  WM_CTLCOLOR
    AfxSig_hDw,        // HBRUSH (CDC*, UINT)         reflected WM_CTLCOLOR
    AfxSig_vOWNER,     // void (int, LPDRAWITEMSTRUCT)
    AfxSig_vMEASURE,   // void (int, LPMEASUREITEMSTRUCT)
    AfxSig_vMwb,       // void (CMenu*, UINT, BOOL)   WM_INITMENUPOPUP
    AfxSig_vMw,        // void (CMenu*, UINT)         WM_UNINITMENUPOPUP
    AfxSig_lwwM,       // LRESULT (UINT, UINT, CMenu*) WM_MENUCHAR
    AfxSig_vwwh,       // void (UINT, UINT, HMENU)    WM_MENUSELECT
    AfxSig_vPOS,       // void (WINDOWPOS*)
    AfxSig_vMMI,       // void (MINMAXINFO*)
    AfxSig_vCALC,      // void (BOOL, NCCALCSIZE_PARAMS*)
    AfxSig_vwpR,       // void (UINT, LPRECT)         WM_SIZING
    AfxSig_vws,        // void (UINT, LPCTSTR)        WM_SETTINGCHANGE
    AfxSig_bHELPINFO,  // BOOL (HELPINFO*)
    AfxSig_vwSTYLE,    // void (int, LPSTYLESTRUCT)
    AfxSig_vH,         // void (HDROP)
    AfxSig_vPTR,       // void (T*)                   reflected owner-draw requests (lParam)
    AfxSig_iPTR,       // int (T*)                    reflected WM_COMPAREITEM
};

struct AFX_MSGMAP_ENTRY {
    UINT nMessage;         // window message, WM_COMMAND / WM_NOTIFY, or a reflected form
    UINT nCode;            // control notification code or CN_*
    UINT nID;              // first control or command id (0 for window messages)
    UINT nLastID;          // last id of a range
    UINT nSig;             // AfxSig
    AFX_PMSG pfn;          // the handler
    const UINT* pnRegMsg;  // registered message id (ON_REGISTERED_MESSAGE), else null
};

struct AFX_MSGMAP {
    const AFX_MSGMAP* (*pfnGetBaseMap)();
    const AFX_MSGMAP_ENTRY* lpEntries;
};

// Command codes passed to OnCmdMsg.
#define CN_COMMAND            0
#define CN_UPDATE_COMMAND_UI  ((UINT)(-1))
// The message value under which a registered message's entry is kept.
#define KV_REGISTERED_MESSAGE 0xC000u
// Messages a parent sends back to the control that notified it.
#define WM_REFLECT_BASE       0xBC00
// The 16-bit control-colour message, under which every WM_CTLCOLOR* is dispatched.
#ifndef WM_CTLCOLOR
#define WM_CTLCOLOR 0x0019
#endif

// Target and handler of a command, filled by OnCmdMsg when asked only to look.
struct AFX_CMDHANDLERINFO {
    CCmdTarget* pTarget;
    AFX_PMSG pmf;
};

// The WM_NOTIFY packet handed to notification handlers through OnCmdMsg.
struct AFX_NOTIFY {
    LRESULT* pResult;
    NMHDR* pNMHDR;
};

// A reflected control-colour request.
struct AFX_CTLCOLOR {
    HWND hWnd;
    HDC hDC;
    UINT nCtlType;
};

// A message map stores every handler as one pointer type and casts it back by its signature when
// it dispatches; the compiler's warning about casts between function types is off for the
// entries, where that erasure is the point.
#define KV_MSGMAP_CASTS_BEGIN \
    _Pragma("GCC diagnostic push") _Pragma("GCC diagnostic ignored \"-Wcast-function-type\"")
#define KV_MSGMAP_CASTS_END _Pragma("GCC diagnostic pop")

// The handler stored in an entry, as the member-function type of its signature.
template <class To, class From>
inline To AfxHandlerCast(From handler) {
#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Wcast-function-type"
    return reinterpret_cast<To>(handler);
#pragma GCC diagnostic pop
}

#define DECLARE_MESSAGE_MAP()                         \
protected:                                            \
    static const AFX_MSGMAP* GetThisMessageMap();     \
                                                      \
public:                                               \
    const AFX_MSGMAP* GetMessageMap() const override; \
                                                      \
private:

#define BEGIN_MESSAGE_MAP(theClass, baseClass)          \
    const AFX_MSGMAP* theClass::GetMessageMap() const { \
        return GetThisMessageMap();                     \
    }                                                   \
    const AFX_MSGMAP* theClass::GetThisMessageMap() {   \
        typedef theClass ThisClass;                     \
        typedef baseClass TheBaseClass;                 \
        (void)sizeof(ThisClass*);                       \
        KV_MSGMAP_CASTS_BEGIN                           \
        static const AFX_MSGMAP_ENTRY _messageEntries[] = {
#define BEGIN_TEMPLATE_MESSAGE_MAP(theClass, type_name, baseClass) \
    template <typename type_name>                                  \
    const AFX_MSGMAP* theClass<type_name>::GetMessageMap() const { \
        return GetThisMessageMap();                                \
    }                                                              \
    template <typename type_name>                                  \
    const AFX_MSGMAP* theClass<type_name>::GetThisMessageMap() {   \
        typedef theClass<type_name> ThisClass;                     \
        typedef baseClass TheBaseClass;                            \
        (void)sizeof(ThisClass*);                                  \
        KV_MSGMAP_CASTS_BEGIN                                      \
        static const AFX_MSGMAP_ENTRY _messageEntries[] = {
#define END_MESSAGE_MAP()                                                                         \
    { 0, 0, 0, 0, AfxSig_end, (AFX_PMSG)0, nullptr }                                              \
    }                                                                                             \
    ;                                                                                             \
    KV_MSGMAP_CASTS_END                                                                           \
    static const AFX_MSGMAP messageMap = {&TheBaseClass::GetThisMessageMap, &_messageEntries[0]}; \
    return &messageMap;                                                                           \
    }

// ---- helpers that type-check a handler and store it ----
#define KV_PCMD(type, fn) \
    static_cast<AFX_PMSG>(reinterpret_cast<void (CCmdTarget::*)()>(static_cast<type>(&ThisClass::fn)))
#define KV_PWND(type, fn) \
    static_cast<AFX_PMSG>(reinterpret_cast<AFX_PMSGW>(static_cast<type>(&ThisClass::fn)))
#define KV_WM(msg, sig, type, fn) {msg, 0, 0, 0, sig, KV_PWND(type, fn), nullptr},

// ---- commands ----
#define ON_COMMAND(id, memberFxn)                                                                            \
    {WM_COMMAND, CN_COMMAND, (UINT)(id), (UINT)(id), AfxSigCmd_v, KV_PCMD(void(CCmdTarget::*)(), memberFxn), \
     nullptr},
#define ON_COMMAND_EX(id, memberFxn)                                          \
    {WM_COMMAND, CN_COMMAND,   (UINT)(id),                                    \
     (UINT)(id), AfxSigCmd_EX, KV_PCMD(BOOL(CCmdTarget::*)(UINT), memberFxn), \
     nullptr},
#define ON_COMMAND_RANGE(id, idLast, memberFxn)                                      \
    {WM_COMMAND,     CN_COMMAND,      (UINT)(id),                                    \
     (UINT)(idLast), AfxSigCmd_RANGE, KV_PCMD(void(CCmdTarget::*)(UINT), memberFxn), \
     nullptr},
#define ON_COMMAND_EX_RANGE(id, idLast, memberFxn)                                \
    {WM_COMMAND,     CN_COMMAND,   (UINT)(id),                                    \
     (UINT)(idLast), AfxSigCmd_EX, KV_PCMD(BOOL(CCmdTarget::*)(UINT), memberFxn), \
     nullptr},
#define ON_UPDATE_COMMAND_UI(id, memberFxn)                                              \
    {WM_COMMAND, CN_UPDATE_COMMAND_UI, (UINT)(id),                                       \
     (UINT)(id), AfxSigCmdUI,          KV_PCMD(void(CCmdTarget::*)(CCmdUI*), memberFxn), \
     nullptr},
#define ON_UPDATE_COMMAND_UI_RANGE(id, idLast, memberFxn)                                    \
    {WM_COMMAND,     CN_UPDATE_COMMAND_UI, (UINT)(id),                                       \
     (UINT)(idLast), AfxSigCmdUI,          KV_PCMD(void(CCmdTarget::*)(CCmdUI*), memberFxn), \
     nullptr},

// ---- control notifications to the parent ----
#define ON_CONTROL(wNotifyCode, id, memberFxn)               \
    {WM_COMMAND,  (UINT)(WORD)(wNotifyCode),                 \
     (UINT)(id),  (UINT)(id),                                \
     AfxSigCmd_v, KV_PCMD(void(CCmdTarget::*)(), memberFxn), \
     nullptr},
#define ON_CONTROL_RANGE(wNotifyCode, id, idLast, memberFxn)                                   \
    {WM_COMMAND,     (UINT)(WORD)(wNotifyCode), (UINT)(id),                                    \
     (UINT)(idLast), AfxSigCmd_RANGE,           KV_PCMD(void(CCmdTarget::*)(UINT), memberFxn), \
     nullptr},
#define ON_NOTIFY(wNotifyCode, id, memberFxn)                                   \
    {WM_NOTIFY,      (UINT)(WORD)(wNotifyCode),                                 \
     (UINT)(id),     (UINT)(id),                                                \
     AfxSigNotify_v, KV_PCMD(void(CCmdTarget::*)(NMHDR*, LRESULT*), memberFxn), \
     nullptr},
#define ON_NOTIFY_RANGE(wNotifyCode, id, idLast, memberFxn)           \
    {WM_NOTIFY,                                                       \
     (UINT)(WORD)(wNotifyCode),                                       \
     (UINT)(id),                                                      \
     (UINT)(idLast),                                                  \
     AfxSigNotify_RANGE,                                              \
     KV_PCMD(void(CCmdTarget::*)(UINT, NMHDR*, LRESULT*), memberFxn), \
     nullptr},
#define ON_NOTIFY_EX(wNotifyCode, id, memberFxn)                                                             \
    {WM_NOTIFY,  (UINT)(WORD)(wNotifyCode), (UINT)(id),                                                      \
     (UINT)(id), AfxSigNotify_EX,           KV_PCMD(BOOL(CCmdTarget::*)(UINT, NMHDR*, LRESULT*), memberFxn), \
     nullptr},
#define ON_NOTIFY_EX_RANGE(wNotifyCode, id, idLast, memberFxn)                         \
    {WM_NOTIFY,       (UINT)(WORD)(wNotifyCode),                                       \
     (UINT)(id),      (UINT)(idLast),                                                  \
     AfxSigNotify_EX, KV_PCMD(BOOL(CCmdTarget::*)(UINT, NMHDR*, LRESULT*), memberFxn), \
     nullptr},

#define ON_BN_CLICKED(id, memberFxn)       ON_CONTROL(BN_CLICKED, id, memberFxn)
#define ON_BN_DOUBLECLICKED(id, memberFxn) ON_CONTROL(BN_DOUBLECLICKED, id, memberFxn)
#define ON_BN_SETFOCUS(id, memberFxn)      ON_CONTROL(BN_SETFOCUS, id, memberFxn)
#define ON_BN_KILLFOCUS(id, memberFxn)     ON_CONTROL(BN_KILLFOCUS, id, memberFxn)
#define ON_EN_CHANGE(id, memberFxn)        ON_CONTROL(EN_CHANGE, id, memberFxn)
#define ON_EN_UPDATE(id, memberFxn)        ON_CONTROL(EN_UPDATE, id, memberFxn)
#define ON_EN_SETFOCUS(id, memberFxn)      ON_CONTROL(EN_SETFOCUS, id, memberFxn)
#define ON_EN_KILLFOCUS(id, memberFxn)     ON_CONTROL(EN_KILLFOCUS, id, memberFxn)
#define ON_EN_MAXTEXT(id, memberFxn)       ON_CONTROL(EN_MAXTEXT, id, memberFxn)
#define ON_CBN_SELCHANGE(id, memberFxn)    ON_CONTROL(CBN_SELCHANGE, id, memberFxn)
#define ON_CBN_SELENDOK(id, memberFxn)     ON_CONTROL(CBN_SELENDOK, id, memberFxn)
#define ON_CBN_SELENDCANCEL(id, memberFxn) ON_CONTROL(CBN_SELENDCANCEL, id, memberFxn)
#define ON_CBN_EDITCHANGE(id, memberFxn)   ON_CONTROL(CBN_EDITCHANGE, id, memberFxn)
#define ON_CBN_EDITUPDATE(id, memberFxn)   ON_CONTROL(CBN_EDITUPDATE, id, memberFxn)
#define ON_CBN_DROPDOWN(id, memberFxn)     ON_CONTROL(CBN_DROPDOWN, id, memberFxn)
#define ON_CBN_CLOSEUP(id, memberFxn)      ON_CONTROL(CBN_CLOSEUP, id, memberFxn)
#define ON_CBN_SETFOCUS(id, memberFxn)     ON_CONTROL(CBN_SETFOCUS, id, memberFxn)
#define ON_CBN_KILLFOCUS(id, memberFxn)    ON_CONTROL(CBN_KILLFOCUS, id, memberFxn)
#define ON_CBN_DBLCLK(id, memberFxn)       ON_CONTROL(CBN_DBLCLK, id, memberFxn)
#define ON_LBN_SELCHANGE(id, memberFxn)    ON_CONTROL(LBN_SELCHANGE, id, memberFxn)
#define ON_LBN_DBLCLK(id, memberFxn)       ON_CONTROL(LBN_DBLCLK, id, memberFxn)
#define ON_LBN_SETFOCUS(id, memberFxn)     ON_CONTROL(LBN_SETFOCUS, id, memberFxn)
#define ON_LBN_KILLFOCUS(id, memberFxn)    ON_CONTROL(LBN_KILLFOCUS, id, memberFxn)
#define ON_STN_CLICKED(id, memberFxn)      ON_CONTROL(STN_CLICKED, id, memberFxn)
#define ON_STN_DBLCLK(id, memberFxn)       ON_CONTROL(STN_DBLCLK, id, memberFxn)

// ---- reflected notifications (entries of the control's own map) ----
// The plain forms consume the notification; the _EX forms pass it on to the
// parent when the handler returns FALSE.
#define ON_CONTROL_REFLECT(wNotifyCode, memberFxn) \
    {WM_REFLECT_BASE + WM_COMMAND,                 \
     (UINT)(WORD)(wNotifyCode),                    \
     0,                                            \
     0,                                            \
     AfxSigCmd_v,                                  \
     KV_PCMD(void(CCmdTarget::*)(), memberFxn),    \
     nullptr},
#define ON_CONTROL_REFLECT_EX(wNotifyCode, memberFxn) \
    {WM_REFLECT_BASE + WM_COMMAND,                    \
     (UINT)(WORD)(wNotifyCode),                       \
     0,                                               \
     0,                                               \
     AfxSigCmd_b,                                     \
     KV_PCMD(BOOL(CCmdTarget::*)(), memberFxn),       \
     nullptr},
#define ON_NOTIFY_REFLECT(wNotifyCode, memberFxn)               \
    {WM_REFLECT_BASE + WM_NOTIFY,                               \
     (UINT)(WORD)(wNotifyCode),                                 \
     0,                                                         \
     0,                                                         \
     AfxSigNotify_v,                                            \
     KV_PCMD(void(CCmdTarget::*)(NMHDR*, LRESULT*), memberFxn), \
     nullptr},
#define ON_NOTIFY_REFLECT_EX(wNotifyCode, memberFxn)            \
    {WM_REFLECT_BASE + WM_NOTIFY,                               \
     (UINT)(WORD)(wNotifyCode),                                 \
     0,                                                         \
     0,                                                         \
     AfxSigNotify_b,                                            \
     KV_PCMD(BOOL(CCmdTarget::*)(NMHDR*, LRESULT*), memberFxn), \
     nullptr},
#define ON_WM_CTLCOLOR_REFLECT() \
    KV_WM(WM_REFLECT_BASE + WM_CTLCOLOR, AfxSig_hDw, HBRUSH(CWnd::*)(CDC*, UINT), CtlColor)
#define ON_WM_HSCROLL_REFLECT() \
    KV_WM(WM_REFLECT_BASE + WM_HSCROLL, AfxSig_vww, void(CWnd::*)(UINT, UINT), HScroll)
#define ON_WM_VSCROLL_REFLECT() \
    KV_WM(WM_REFLECT_BASE + WM_VSCROLL, AfxSig_vww, void(CWnd::*)(UINT, UINT), VScroll)
#define ON_WM_DRAWITEM_REFLECT() \
    KV_WM(WM_REFLECT_BASE + WM_DRAWITEM, AfxSig_vPTR, void(CWnd::*)(LPDRAWITEMSTRUCT), DrawItem)
#define ON_WM_MEASUREITEM_REFLECT() \
    KV_WM(WM_REFLECT_BASE + WM_MEASUREITEM, AfxSig_vPTR, void(CWnd::*)(LPMEASUREITEMSTRUCT), MeasureItem)
#define ON_WM_DELETEITEM_REFLECT() \
    KV_WM(WM_REFLECT_BASE + WM_DELETEITEM, AfxSig_vPTR, void(CWnd::*)(LPDELETEITEMSTRUCT), DeleteItem)
#define ON_WM_COMPAREITEM_REFLECT() \
    KV_WM(WM_REFLECT_BASE + WM_COMPAREITEM, AfxSig_iPTR, int(CWnd::*)(LPCOMPAREITEMSTRUCT), CompareItem)

// ---- user and registered messages ----
#define ON_MESSAGE(message, memberFxn) \
    {(UINT)(message), 0, 0, 0, AfxSig_lwl, KV_PWND(LRESULT(CWnd::*)(WPARAM, LPARAM), memberFxn), nullptr},
#define ON_REGISTERED_MESSAGE(nMessageVariable, memberFxn)                                             \
    {KV_REGISTERED_MESSAGE, 0, 0, 0, AfxSig_lwl, KV_PWND(LRESULT(CWnd::*)(WPARAM, LPARAM), memberFxn), \
     &(nMessageVariable)},
#define ON_THREAD_MESSAGE(message, memberFxn) \
    {(UINT)(message), 0, 0, 0, AfxSig_vwl, KV_PCMD(void(CCmdTarget::*)(WPARAM, LPARAM), memberFxn), nullptr},

// ---- window messages ----
#define ON_WM_CREATE()      KV_WM(WM_CREATE, AfxSig_is, int (CWnd::*)(LPCREATESTRUCT), OnCreate)
#define ON_WM_DESTROY()     KV_WM(WM_DESTROY, AfxSig_vv, void (CWnd::*)(), OnDestroy)
#define ON_WM_NCDESTROY()   KV_WM(WM_NCDESTROY, AfxSig_vv, void (CWnd::*)(), OnNcDestroy)
#define ON_WM_CLOSE()       KV_WM(WM_CLOSE, AfxSig_vv, void (CWnd::*)(), OnClose)
#define ON_WM_PAINT()       KV_WM(WM_PAINT, AfxSig_vv, void (CWnd::*)(), OnPaint)
#define ON_WM_NCPAINT()     KV_WM(WM_NCPAINT, AfxSig_vv, void (CWnd::*)(), OnNcPaint)
#define ON_WM_ERASEBKGND()  KV_WM(WM_ERASEBKGND, AfxSig_bD, BOOL (CWnd::*)(CDC*), OnEraseBkgnd)
#define ON_WM_SIZE()        KV_WM(WM_SIZE, AfxSig_vwii, void (CWnd::*)(UINT, int, int), OnSize)
#define ON_WM_MOVE()        KV_WM(WM_MOVE, AfxSig_vii, void (CWnd::*)(int, int), OnMove)
#define ON_WM_SIZING()      KV_WM(WM_SIZING, AfxSig_vwpR, void (CWnd::*)(UINT, LPRECT), OnSizing)
#define ON_WM_TIMER()       KV_WM(WM_TIMER, AfxSig_vw, void (CWnd::*)(UINT_PTR), OnTimer)
#define ON_WM_LBUTTONDOWN() KV_WM(WM_LBUTTONDOWN, AfxSig_vwp, void (CWnd::*)(UINT, CPoint), OnLButtonDown)
#define ON_WM_LBUTTONUP()   KV_WM(WM_LBUTTONUP, AfxSig_vwp, void (CWnd::*)(UINT, CPoint), OnLButtonUp)
#define ON_WM_LBUTTONDBLCLK() \
    KV_WM(WM_LBUTTONDBLCLK, AfxSig_vwp, void (CWnd::*)(UINT, CPoint), OnLButtonDblClk)
#define ON_WM_RBUTTONDOWN() KV_WM(WM_RBUTTONDOWN, AfxSig_vwp, void (CWnd::*)(UINT, CPoint), OnRButtonDown)
#define ON_WM_RBUTTONUP()   KV_WM(WM_RBUTTONUP, AfxSig_vwp, void (CWnd::*)(UINT, CPoint), OnRButtonUp)
#define ON_WM_RBUTTONDBLCLK() \
    KV_WM(WM_RBUTTONDBLCLK, AfxSig_vwp, void (CWnd::*)(UINT, CPoint), OnRButtonDblClk)
#define ON_WM_MBUTTONDOWN() KV_WM(WM_MBUTTONDOWN, AfxSig_vwp, void (CWnd::*)(UINT, CPoint), OnMButtonDown)
#define ON_WM_MBUTTONUP()   KV_WM(WM_MBUTTONUP, AfxSig_vwp, void (CWnd::*)(UINT, CPoint), OnMButtonUp)
#define ON_WM_MOUSEMOVE()   KV_WM(WM_MOUSEMOVE, AfxSig_vwp, void (CWnd::*)(UINT, CPoint), OnMouseMove)
#define ON_WM_MOUSEWHEEL() \
    KV_WM(WM_MOUSEWHEEL, AfxSig_bwsp, BOOL (CWnd::*)(UINT, short, CPoint), OnMouseWheel)
#define ON_WM_MOUSELEAVE() KV_WM(WM_MOUSELEAVE, AfxSig_vv, void (CWnd::*)(), OnMouseLeave)
#define ON_WM_MOUSEHOVER() KV_WM(WM_MOUSEHOVER, AfxSig_vwp, void (CWnd::*)(UINT, CPoint), OnMouseHover)
#define ON_WM_NCLBUTTONDOWN() \
    KV_WM(WM_NCLBUTTONDOWN, AfxSig_vwp, void (CWnd::*)(UINT, CPoint), OnNcLButtonDown)
#define ON_WM_NCLBUTTONUP() KV_WM(WM_NCLBUTTONUP, AfxSig_vwp, void (CWnd::*)(UINT, CPoint), OnNcLButtonUp)
#define ON_WM_NCLBUTTONDBLCLK() \
    KV_WM(WM_NCLBUTTONDBLCLK, AfxSig_vwp, void (CWnd::*)(UINT, CPoint), OnNcLButtonDblClk)
#define ON_WM_NCRBUTTONDOWN() \
    KV_WM(WM_NCRBUTTONDOWN, AfxSig_vwp, void (CWnd::*)(UINT, CPoint), OnNcRButtonDown)
#define ON_WM_NCMOUSEMOVE() KV_WM(WM_NCMOUSEMOVE, AfxSig_vwp, void (CWnd::*)(UINT, CPoint), OnNcMouseMove)
#define ON_WM_NCHITTEST()   KV_WM(WM_NCHITTEST, AfxSig_lp, LRESULT (CWnd::*)(CPoint), OnNcHitTest)
#define ON_WM_NCCALCSIZE() \
    KV_WM(WM_NCCALCSIZE, AfxSig_vCALC, void (CWnd::*)(BOOL, NCCALCSIZE_PARAMS*), OnNcCalcSize)
#define ON_WM_NCACTIVATE()     KV_WM(WM_NCACTIVATE, AfxSig_bb, BOOL (CWnd::*)(BOOL), OnNcActivate)
#define ON_WM_SETCURSOR()      KV_WM(WM_SETCURSOR, AfxSig_bWww, BOOL (CWnd::*)(CWnd*, UINT, UINT), OnSetCursor)
#define ON_WM_SETFOCUS()       KV_WM(WM_SETFOCUS, AfxSig_vW, void (CWnd::*)(CWnd*), OnSetFocus)
#define ON_WM_KILLFOCUS()      KV_WM(WM_KILLFOCUS, AfxSig_vW, void (CWnd::*)(CWnd*), OnKillFocus)
#define ON_WM_CAPTURECHANGED() KV_WM(WM_CAPTURECHANGED, AfxSig_vW, void (CWnd::*)(CWnd*), OnCaptureChanged)
#define ON_WM_CONTEXTMENU()    KV_WM(WM_CONTEXTMENU, AfxSig_vWp, void (CWnd::*)(CWnd*, CPoint), OnContextMenu)
#define ON_WM_ENABLE()         KV_WM(WM_ENABLE, AfxSig_vb, void (CWnd::*)(BOOL), OnEnable)
#define ON_WM_SHOWWINDOW()     KV_WM(WM_SHOWWINDOW, AfxSig_vbw, void (CWnd::*)(BOOL, UINT), OnShowWindow)
#define ON_WM_ACTIVATE()       KV_WM(WM_ACTIVATE, AfxSig_vwWb, void (CWnd::*)(UINT, CWnd*, BOOL), OnActivate)
#define ON_WM_ACTIVATEAPP()    KV_WM(WM_ACTIVATEAPP, AfxSig_vbh, void (CWnd::*)(BOOL, DWORD), OnActivateApp)
#define ON_WM_MOUSEACTIVATE() \
    KV_WM(WM_MOUSEACTIVATE, AfxSig_iWww, int (CWnd::*)(CWnd*, UINT, UINT), OnMouseActivate)
#define ON_WM_CANCELMODE() KV_WM(WM_CANCELMODE, AfxSig_vv, void (CWnd::*)(), OnCancelMode)
#define ON_WM_GETDLGCODE() KV_WM(WM_GETDLGCODE, AfxSig_uv, UINT (CWnd::*)(), OnGetDlgCode)
#define ON_WM_KEYDOWN()    KV_WM(WM_KEYDOWN, AfxSig_vwww, void (CWnd::*)(UINT, UINT, UINT), OnKeyDown)
#define ON_WM_KEYUP()      KV_WM(WM_KEYUP, AfxSig_vwww, void (CWnd::*)(UINT, UINT, UINT), OnKeyUp)
#define ON_WM_CHAR()       KV_WM(WM_CHAR, AfxSig_vwww, void (CWnd::*)(UINT, UINT, UINT), OnChar)
#define ON_WM_SYSKEYDOWN() KV_WM(WM_SYSKEYDOWN, AfxSig_vwww, void (CWnd::*)(UINT, UINT, UINT), OnSysKeyDown)
#define ON_WM_SYSKEYUP()   KV_WM(WM_SYSKEYUP, AfxSig_vwww, void (CWnd::*)(UINT, UINT, UINT), OnSysKeyUp)
#define ON_WM_SYSCOMMAND() KV_WM(WM_SYSCOMMAND, AfxSig_vwl, void (CWnd::*)(UINT, LPARAM), OnSysCommand)
#define ON_WM_HSCROLL()    KV_WM(WM_HSCROLL, AfxSig_vwwW, void (CWnd::*)(UINT, UINT, CScrollBar*), OnHScroll)
#define ON_WM_VSCROLL()    KV_WM(WM_VSCROLL, AfxSig_vwwW, void (CWnd::*)(UINT, UINT, CScrollBar*), OnVScroll)
#define ON_WM_CTLCOLOR()   KV_WM(WM_CTLCOLOR, AfxSig_hDWw, HBRUSH (CWnd::*)(CDC*, CWnd*, UINT), OnCtlColor)
#define ON_WM_DRAWITEM()   KV_WM(WM_DRAWITEM, AfxSig_vOWNER, void (CWnd::*)(int, LPDRAWITEMSTRUCT), OnDrawItem)
#define ON_WM_MEASUREITEM() \
    KV_WM(WM_MEASUREITEM, AfxSig_vMEASURE, void (CWnd::*)(int, LPMEASUREITEMSTRUCT), OnMeasureItem)
#define ON_WM_INITMENUPOPUP() \
    KV_WM(WM_INITMENUPOPUP, AfxSig_vMwb, void (CWnd::*)(CMenu*, UINT, BOOL), OnInitMenuPopup)
#define ON_WM_UNINITMENUPOPUP() \
    KV_WM(WM_UNINITMENUPOPUP, AfxSig_vMw, void (CWnd::*)(CMenu*, UINT), OnUnInitMenuPopup)
#define ON_WM_MENUCHAR()      KV_WM(WM_MENUCHAR, AfxSig_lwwM, LRESULT (CWnd::*)(UINT, UINT, CMenu*), OnMenuChar)
#define ON_WM_MENUSELECT()    KV_WM(WM_MENUSELECT, AfxSig_vwwh, void (CWnd::*)(UINT, UINT, HMENU), OnMenuSelect)
#define ON_WM_ENTERMENULOOP() KV_WM(WM_ENTERMENULOOP, AfxSig_vb, void (CWnd::*)(BOOL), OnEnterMenuLoop)
#define ON_WM_EXITMENULOOP()  KV_WM(WM_EXITMENULOOP, AfxSig_vb, void (CWnd::*)(BOOL), OnExitMenuLoop)
#define ON_WM_WINDOWPOSCHANGING() \
    KV_WM(WM_WINDOWPOSCHANGING, AfxSig_vPOS, void (CWnd::*)(WINDOWPOS*), OnWindowPosChanging)
#define ON_WM_WINDOWPOSCHANGED() \
    KV_WM(WM_WINDOWPOSCHANGED, AfxSig_vPOS, void (CWnd::*)(WINDOWPOS*), OnWindowPosChanged)
#define ON_WM_GETMINMAXINFO() \
    KV_WM(WM_GETMINMAXINFO, AfxSig_vMMI, void (CWnd::*)(MINMAXINFO*), OnGetMinMaxInfo)
#define ON_WM_SYSCOLORCHANGE() KV_WM(WM_SYSCOLORCHANGE, AfxSig_vv, void (CWnd::*)(), OnSysColorChange)
#define ON_WM_SETTINGCHANGE() \
    KV_WM(WM_SETTINGCHANGE, AfxSig_vws, void (CWnd::*)(UINT, LPCTSTR), OnSettingChange)
#define ON_WM_HELPINFO() KV_WM(WM_HELP, AfxSig_bHELPINFO, BOOL (CWnd::*)(HELPINFO*), OnHelpInfo)
#define ON_WM_STYLECHANGED() \
    KV_WM(WM_STYLECHANGED, AfxSig_vwSTYLE, void (CWnd::*)(int, LPSTYLESTRUCT), OnStyleChanged)
#define ON_WM_DROPFILES()    KV_WM(WM_DROPFILES, AfxSig_vH, void (CWnd::*)(HDROP), OnDropFiles)
#define ON_WM_PARENTNOTIFY() KV_WM(WM_PARENTNOTIFY, AfxSig_vwl, void (CWnd::*)(UINT, LPARAM), OnParentNotify)
