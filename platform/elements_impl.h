#pragma once
// Template definitions for elements.h (included at its end).

#include "platform/vberror.h"

namespace platform {

namespace elementerrors {
[[noreturn]] void noSuchElement(const QString& arrayName, int k);  // 340
[[noreturn]] void alreadyLoaded();                                 // 360
[[noreturn]] void designTimeElement();                             // 362
[[noreturn]] void badIndex(int k);                                 // 9
}  // namespace elementerrors

template <typename T>
Prop<T>& Prop<T>::operator=(const T& value)
{
    if (m_value == value)
        return *this;
    m_value = value;
    if (m_owner)
        m_owner->changed();
    return *this;
}

template <class T>
ElementArray<T>::ElementArray(const QString& name, PictureBox* container)
    : m_name(name), m_container(container)
{
    auto first = std::make_unique<T>(container);
    first->Name = name;
    first->Index = 0;
    m_elements.push_back(std::move(first));
    m_count = 1;
}

// The highest index goes first, as elements are unloaded.
template <class T>
ElementArray<T>::~ElementArray()
{
    while (!m_elements.empty())
        m_elements.pop_back();
}

template <class T>
T& ElementArray<T>::operator()(int k)
{
    if (!exists(k))
        elementerrors::noSuchElement(m_name, k);
    return *m_elements[size_t(k)];
}

template <class T>
const T& ElementArray<T>::operator()(int k) const
{
    if (!exists(k))
        elementerrors::noSuchElement(m_name, k);
    return *m_elements[size_t(k)];
}

template <class T>
void ElementArray<T>::Load(int k)
{
    if (k < 0 || k > 32767)
        elementerrors::badIndex(k);
    if (exists(k))
        elementerrors::alreadyLoaded();
    auto element = std::make_unique<T>(m_container);
    // Hidden before the copy, so that taking element 0's look paints nothing.
    element->Visible = false;
    element->copyFrom(*m_elements[0]);
    element->Visible = false;
    element->Name = m_name;
    element->Index = k;
    if (onCreate)
        onCreate(*element);
    if (size_t(k) >= m_elements.size())
        m_elements.resize(size_t(k) + 1);
    m_elements[size_t(k)] = std::move(element);
    ++m_count;
}

template <class T>
void ElementArray<T>::Unload(int k)
{
    if (k == 0)
        elementerrors::designTimeElement();
    if (!exists(k))
        elementerrors::noSuchElement(m_name, k);
    m_elements[size_t(k)].reset();
    --m_count;
    while (!m_elements.back())
        m_elements.pop_back();
}

template <class T>
void ElementArray<T>::setOnCreate(std::function<void(T&)> handler)
{
    onCreate = std::move(handler);
    if (onCreate)
        for (auto& element : m_elements)
            if (element)
                onCreate(*element);
}

}  // namespace platform
