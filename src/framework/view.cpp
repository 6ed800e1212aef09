#include "framework/view.h"

#include "framework/document.h"

namespace framework {

View::~View()
{
    if (m_document)
        m_document->RemoveView(this);
}

} // namespace framework
