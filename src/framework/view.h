#pragma once
#include <cstddef>
#include <typeinfo>

#include "framework/command_target.h"

namespace framework {

class Document;

// The record an update is about, if any, with its type kept so that a view
// can ask for the type it expects and get null for anything else.
class HintObject {
public:
    HintObject() = default;
    HintObject(std::nullptr_t) {}
    template <class T>
    HintObject(const T* object) : m_object(object), m_type(object ? &typeid(T) : nullptr)
    {
    }

    template <class T>
    const T* As() const
    {
        return m_type && *m_type == typeid(T) ? static_cast<const T*>(m_object) : nullptr;
    }
    explicit operator bool() const { return m_object != nullptr; }

private:
    const void* m_object = nullptr;
    const std::type_info* m_type = nullptr;
};

// A window onto the document. It learns of changes through OnUpdate and
// stands first on the command route while it is the active view.
class View : public CommandTarget {
public:
    ~View() override;

    // The document the view is registered with, or null.
    Document* GetDocument() const { return m_document; }

    // `sender` is the view that caused the change, or null; `hint` and
    // `hintObject` say what changed, as the document's operations define.
    virtual void OnUpdate(View* sender, long hint, HintObject hintObject) = 0;

private:
    friend class Document;  // keeps the back pointer true on both sides
    Document* m_document = nullptr;
};

} // namespace framework
