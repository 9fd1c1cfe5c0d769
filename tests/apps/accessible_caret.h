// The caret an editor that draws its own cursor offers to accessibility
// tools: an object whose location is where the editor says its cursor is.
#pragma once

#include <windows.h>
#include <oleacc.h>

class AccessibleCaret : public IAccessible {
  public:
    explicit AccessibleCaret(HWND window) : window_(window) {}
    // The cursor's place in the window's client area.
    void MoveTo(POINT at) { at_ = at; }

    // IUnknown
    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID riid, void** object) override {
        if (riid == IID_IUnknown || riid == IID_IDispatch || riid == IID_IAccessible) {
            *object = static_cast<IAccessible*>(this);
            AddRef();
            return S_OK;
        }
        *object = nullptr;
        return E_NOINTERFACE;
    }
    ULONG STDMETHODCALLTYPE AddRef() override { return InterlockedIncrement(&references_); }
    ULONG STDMETHODCALLTYPE Release() override { return InterlockedDecrement(&references_); } // lives as long as the editor

    // IDispatch
    HRESULT STDMETHODCALLTYPE GetTypeInfoCount(UINT* count) override { *count = 0; return S_OK; }
    HRESULT STDMETHODCALLTYPE GetTypeInfo(UINT, LCID, ITypeInfo**) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE GetIDsOfNames(REFIID, LPOLESTR*, UINT, LCID, DISPID*) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE Invoke(DISPID, REFIID, LCID, WORD, DISPPARAMS*, VARIANT*, EXCEPINFO*, UINT*) override {
        return E_NOTIMPL;
    }

    // IAccessible: the location is what matters; the rest says little.
    HRESULT STDMETHODCALLTYPE accLocation(long* x, long* y, long* width, long* height, VARIANT) override {
        POINT at = at_;
        ClientToScreen(window_, &at);
        *x = at.x;
        *y = at.y;
        *width = 1;
        *height = 16;
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE get_accRole(VARIANT, VARIANT* role) override {
        role->vt = VT_I4;
        role->lVal = ROLE_SYSTEM_CARET;
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE get_accState(VARIANT, VARIANT* state) override {
        state->vt = VT_I4;
        state->lVal = 0;
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE get_accParent(IDispatch** parent) override { *parent = nullptr; return S_FALSE; }
    HRESULT STDMETHODCALLTYPE get_accChildCount(long* count) override { *count = 0; return S_OK; }
    HRESULT STDMETHODCALLTYPE get_accChild(VARIANT, IDispatch** child) override { *child = nullptr; return S_FALSE; }
    HRESULT STDMETHODCALLTYPE get_accName(VARIANT, BSTR* name) override { *name = nullptr; return S_FALSE; }
    HRESULT STDMETHODCALLTYPE get_accValue(VARIANT, BSTR* value) override { *value = nullptr; return S_FALSE; }
    HRESULT STDMETHODCALLTYPE get_accDescription(VARIANT, BSTR* text) override { *text = nullptr; return S_FALSE; }
    HRESULT STDMETHODCALLTYPE get_accHelp(VARIANT, BSTR* text) override { *text = nullptr; return S_FALSE; }
    HRESULT STDMETHODCALLTYPE get_accHelpTopic(BSTR* file, VARIANT, long* topic) override {
        *file = nullptr;
        *topic = 0;
        return S_FALSE;
    }
    HRESULT STDMETHODCALLTYPE get_accKeyboardShortcut(VARIANT, BSTR* text) override { *text = nullptr; return S_FALSE; }
    HRESULT STDMETHODCALLTYPE get_accFocus(VARIANT* focus) override { focus->vt = VT_EMPTY; return S_FALSE; }
    HRESULT STDMETHODCALLTYPE get_accSelection(VARIANT* selection) override { selection->vt = VT_EMPTY; return S_FALSE; }
    HRESULT STDMETHODCALLTYPE get_accDefaultAction(VARIANT, BSTR* text) override { *text = nullptr; return S_FALSE; }
    HRESULT STDMETHODCALLTYPE accSelect(long, VARIANT) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE accNavigate(long, VARIANT, VARIANT* end) override { end->vt = VT_EMPTY; return S_FALSE; }
    HRESULT STDMETHODCALLTYPE accHitTest(long, long, VARIANT* child) override { child->vt = VT_EMPTY; return S_FALSE; }
    HRESULT STDMETHODCALLTYPE accDoDefaultAction(VARIANT) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE put_accName(VARIANT, BSTR) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE put_accValue(VARIANT, BSTR) override { return E_NOTIMPL; }

  private:
    HWND window_;
    POINT at_{40, 30};
    LONG references_ = 1;
};
