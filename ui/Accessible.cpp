#include "Accessible.h"

#include "Win32.h"

#include <commctrl.h>
#include <oleacc.h>

#include <string_view>

namespace sorvane {

namespace {

// IAccessible's interface identifier, written here: MinGW's oleacc import library gives
// another value under its usual name.
constexpr IID kAccessibleId{
    0x618736E0, 0x3C3D, 0x11CF, {0x81, 0x0C, 0x00, 0xAA, 0x00, 0x38, 0x9B, 0x71}};

// oleacc, and oleaut32 for the texts handed out, cost memory and time at start-up, and only a
// screen reader needs them: they are loaded when one first asks. Null when not found.
struct Accessibility {
    decltype(&CreateStdAccessibleObject) createStandard;
    decltype(&LresultFromObject) toResult;
    decltype(&SysAllocString) newText;
};

// Loaded on the window's thread, where a screen reader's questions arrive. LresultFromObject
// marshals the object through COM, which nothing else sets up on this thread (activating a
// window may, as a side effect no version of Windows promises), so it is set up here, once.
const Accessibility& LoadAccessibility() {
    static SystemLibrary oleacc(L"oleacc.dll");
    static SystemLibrary oleaut32(L"oleaut32.dll");
    static SystemLibrary ole32(L"ole32.dll");
    static Accessibility functions{};
    if (functions.createStandard == nullptr) {
        if (const auto startCom = ole32.Get<decltype(&CoInitializeEx)>("CoInitializeEx")) {
            startCom(nullptr, COINIT_APARTMENTTHREADED); // already set up, in any mode, is fine
        }
        functions = {oleacc.Get<decltype(&CreateStdAccessibleObject)>("CreateStdAccessibleObject"),
                     oleacc.Get<decltype(&LresultFromObject)>("LresultFromObject"),
                     oleaut32.Get<decltype(&SysAllocString)>("SysAllocString")};
    }
    return functions;
}

HRESULT NewText(std::u16string_view text, BSTR* out) {
    const auto newText = LoadAccessibility().newText; // loaded before the object is handed out
    *out = newText != nullptr ? newText(ToWide(text).c_str()) : nullptr;
    return *out != nullptr ? S_OK : E_OUTOFMEMORY;
}

bool IsSelf(const VARIANT& child) {
    return child.vt == VT_I4 && child.lVal == CHILDID_SELF;
}

// The control's accessible object: the system's own, wrapped, with the role, name and value
// that a screen reader should say; all else, and every question about one of its parts, goes
// to the system's object. Its interfaces for the parts and for the window are
// offered only when the system's object has them.
// https://learn.microsoft.com/windows/win32/winauto/alternatives-to-dynamic-annotation
class AccessibleControl final : public IAccessible, public IEnumVARIANT, public IOleWindow {
  public:
    AccessibleControl(HWND control, const Spoken& spoken) : control_(control), spoken_(spoken) {}
    AccessibleControl(const AccessibleControl&) = delete;
    AccessibleControl& operator=(const AccessibleControl&) = delete;

    // The answer to WM_GETOBJECT for the client area: positive for this object; 0 or a negative
    // error when it cannot be had, and then the system's own object is the answer.
    LRESULT Answer(WPARAM w) {
        const Accessibility& functions = LoadAccessibility();
        if (!functions.createStandard || !functions.toResult || !functions.newText) {
            return 0;
        }
        if (standard_ == nullptr) {
            if (FAILED(functions.createStandard(control_, OBJID_CLIENT, kAccessibleId,
                                                reinterpret_cast<void**>(&standard_)))) {
                standard_ = nullptr;
                return 0;
            }
            standard_->QueryInterface(IID_IEnumVARIANT, reinterpret_cast<void**>(&children_));
            standard_->QueryInterface(IID_IOleWindow, reinterpret_cast<void**>(&window_));
        }
        return functions.toResult(kAccessibleId, w, static_cast<IAccessible*>(this));
    }

    // The control is gone: a screen reader that still holds the object gets the system's
    // answers, which know that; the control's own reference goes.
    void Detach() {
        control_ = nullptr;
        Release();
    }

    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void** object) override {
        if (object == nullptr) {
            return E_POINTER;
        }
        *object = nullptr;
        if (iid == IID_IUnknown || iid == IID_IDispatch || iid == kAccessibleId) {
            *object = static_cast<IAccessible*>(this);
        } else if (iid == IID_IEnumVARIANT && children_ != nullptr) {
            *object = static_cast<IEnumVARIANT*>(this);
        } else if (iid == IID_IOleWindow && window_ != nullptr) {
            *object = static_cast<IOleWindow*>(this);
        } else {
            return E_NOINTERFACE;
        }
        AddRef();
        return S_OK;
    }
    ULONG STDMETHODCALLTYPE AddRef() override {
        return static_cast<ULONG>(InterlockedIncrement(&references_));
    }
    ULONG STDMETHODCALLTYPE Release() override {
        const LONG left = InterlockedDecrement(&references_);
        if (left == 0) {
            delete this;
        }
        return static_cast<ULONG>(left);
    }

    // IDispatch: a call by number goes through IAccessible's type description to this object,
    // not to the system's, so that it meets the role, name and value given here.
    HRESULT STDMETHODCALLTYPE GetTypeInfoCount(UINT* count) override {
        return standard_->GetTypeInfoCount(count);
    }
    HRESULT STDMETHODCALLTYPE GetTypeInfo(UINT index, LCID locale, ITypeInfo** info) override {
        return standard_->GetTypeInfo(index, locale, info);
    }
    HRESULT STDMETHODCALLTYPE GetIDsOfNames(REFIID iid, LPOLESTR* names, UINT count, LCID locale,
                                            DISPID* ids) override {
        return standard_->GetIDsOfNames(iid, names, count, locale, ids);
    }
    HRESULT STDMETHODCALLTYPE Invoke(DISPID id, REFIID, LCID locale, WORD flags, DISPPARAMS* params,
                                     VARIANT* result, EXCEPINFO* exception,
                                     UINT* badArgument) override {
        ITypeInfo* info = nullptr;
        HRESULT status = standard_->GetTypeInfo(0, locale, &info);
        if (SUCCEEDED(status)) {
            status = info->Invoke(static_cast<IAccessible*>(this), id, flags, params, result,
                                  exception, badArgument);
            info->Release();
        }
        return status;
    }

    // IAccessible: what a screen reader says of the control itself.
    HRESULT STDMETHODCALLTYPE get_accRole(VARIANT child, VARIANT* role) override {
        if (!IsSelf(child) || role == nullptr || spoken_.role == 0) {
            return standard_->get_accRole(child, role);
        }
        role->vt = VT_I4;
        role->lVal = spoken_.role;
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE get_accName(VARIANT child, BSTR* name) override {
        if (!IsSelf(child) || name == nullptr || control_ == nullptr) {
            return standard_->get_accName(child, name);
        }
        std::u16string text = WindowText(spoken_.name[0]);
        if (spoken_.name[1] != nullptr) {
            text += u' ' + WindowText(spoken_.name[1]);
        }
        return NewText(text, name);
    }
    // A slider's words for its position now, by the rule that the label beside it follows.
    HRESULT STDMETHODCALLTYPE get_accValue(VARIANT child, BSTR* value) override {
        if (IsSelf(child) && value != nullptr && control_ != nullptr && spoken_.value) {
            const auto position =
                static_cast<std::int32_t>(SendMessageW(control_, TBM_GETPOS, 0, 0));
            if (const std::optional<std::u16string> words = spoken_.value(position)) {
                return NewText(*words, value);
            }
        }
        return standard_->get_accValue(child, value);
    }

    // IAccessible: everything else, as the system's object has it.
    HRESULT STDMETHODCALLTYPE get_accParent(IDispatch** parent) override {
        return standard_->get_accParent(parent);
    }
    HRESULT STDMETHODCALLTYPE get_accChildCount(LONG* count) override {
        return standard_->get_accChildCount(count);
    }
    HRESULT STDMETHODCALLTYPE get_accChild(VARIANT child, IDispatch** object) override {
        return standard_->get_accChild(child, object);
    }
    HRESULT STDMETHODCALLTYPE get_accDescription(VARIANT child, BSTR* text) override {
        return standard_->get_accDescription(child, text);
    }
    HRESULT STDMETHODCALLTYPE get_accState(VARIANT child, VARIANT* state) override {
        return standard_->get_accState(child, state);
    }
    HRESULT STDMETHODCALLTYPE get_accHelp(VARIANT child, BSTR* text) override {
        return standard_->get_accHelp(child, text);
    }
    HRESULT STDMETHODCALLTYPE get_accHelpTopic(BSTR* file, VARIANT child, LONG* topic) override {
        return standard_->get_accHelpTopic(file, child, topic);
    }
    HRESULT STDMETHODCALLTYPE get_accKeyboardShortcut(VARIANT child, BSTR* text) override {
        return standard_->get_accKeyboardShortcut(child, text);
    }
    HRESULT STDMETHODCALLTYPE get_accFocus(VARIANT* child) override {
        return standard_->get_accFocus(child);
    }
    HRESULT STDMETHODCALLTYPE get_accSelection(VARIANT* children) override {
        return standard_->get_accSelection(children);
    }
    HRESULT STDMETHODCALLTYPE get_accDefaultAction(VARIANT child, BSTR* text) override {
        return standard_->get_accDefaultAction(child, text);
    }
    HRESULT STDMETHODCALLTYPE accSelect(LONG flags, VARIANT child) override {
        return standard_->accSelect(flags, child);
    }
    HRESULT STDMETHODCALLTYPE accLocation(LONG* left, LONG* top, LONG* width, LONG* height,
                                          VARIANT child) override {
        return standard_->accLocation(left, top, width, height, child);
    }
    HRESULT STDMETHODCALLTYPE accNavigate(LONG direction, VARIANT start, VARIANT* end) override {
        return standard_->accNavigate(direction, start, end);
    }
    HRESULT STDMETHODCALLTYPE accHitTest(LONG left, LONG top, VARIANT* child) override {
        return standard_->accHitTest(left, top, child);
    }
    HRESULT STDMETHODCALLTYPE accDoDefaultAction(VARIANT child) override {
        return standard_->accDoDefaultAction(child);
    }
    HRESULT STDMETHODCALLTYPE put_accName(VARIANT child, BSTR name) override {
        return standard_->put_accName(child, name);
    }
    HRESULT STDMETHODCALLTYPE put_accValue(VARIANT child, BSTR value) override {
        return standard_->put_accValue(child, value);
    }

    // IEnumVARIANT, the control's parts, and IOleWindow, as the system's object has them.
    HRESULT STDMETHODCALLTYPE Next(ULONG count, VARIANT* parts, ULONG* fetched) override {
        return children_->Next(count, parts, fetched);
    }
    HRESULT STDMETHODCALLTYPE Skip(ULONG count) override { return children_->Skip(count); }
    HRESULT STDMETHODCALLTYPE Reset() override { return children_->Reset(); }
    HRESULT STDMETHODCALLTYPE Clone(IEnumVARIANT** copy) override { return children_->Clone(copy); }
    HRESULT STDMETHODCALLTYPE GetWindow(HWND* window) override {
        return window_->GetWindow(window);
    }
    HRESULT STDMETHODCALLTYPE ContextSensitiveHelp(BOOL enter) override {
        return window_->ContextSensitiveHelp(enter);
    }

  private:
    ~AccessibleControl() {
        for (IUnknown* held : {static_cast<IUnknown*>(standard_), static_cast<IUnknown*>(children_),
                               static_cast<IUnknown*>(window_)}) {
            if (held != nullptr) {
                held->Release();
            }
        }
    }

    LONG references_ = 1; // the control's own, until it is destroyed
    HWND control_;
    Spoken spoken_;
    IAccessible* standard_ = nullptr; // the system's object, made at the first question
    IEnumVARIANT* children_ = nullptr;
    IOleWindow* window_ = nullptr;
};

LRESULT CALLBACK SpeakingProc(HWND control, UINT message, WPARAM w, LPARAM l, UINT_PTR id,
                              DWORD_PTR data) {
    auto* object = reinterpret_cast<AccessibleControl*>(data);
    // The object identifier is compared as a DWORD: on 64-bit Windows the sign extension of
    // lParam would upset the comparison.
    // https://learn.microsoft.com/windows/win32/winauto/wm-getobject
    if (message == WM_GETOBJECT && static_cast<DWORD>(l) == static_cast<DWORD>(OBJID_CLIENT)) {
        if (const LRESULT answer = object->Answer(w); answer > 0) {
            return answer;
        }
    } else if (message == WM_NCDESTROY) {
        RemoveWindowSubclass(control, SpeakingProc, id);
        object->Detach();
    }
    return DefSubclassProc(control, message, w, l);
}

} // namespace

bool SpeakAs(HWND control, const Spoken& spoken) {
    auto* object = new AccessibleControl(control, spoken);
    if (!SetWindowSubclass(control, SpeakingProc, 0, reinterpret_cast<DWORD_PTR>(object))) {
        object->Release();
        return false;
    }
    return true;
}

} // namespace sorvane
