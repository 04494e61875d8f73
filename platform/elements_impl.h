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
    m_elements.emplace(0, std::move(first));
}

template <class T>
T& ElementArray<T>::operator()(int k)
{
    auto it = m_elements.find(k);
    if (it == m_elements.end())
        elementerrors::noSuchElement(m_name, k);
    return *it->second;
}

template <class T>
const T& ElementArray<T>::operator()(int k) const
{
    auto it = m_elements.find(k);
    if (it == m_elements.end())
        elementerrors::noSuchElement(m_name, k);
    return *it->second;
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
    element->copyFrom(*m_elements.at(0));
    element->Visible = false;
    element->Name = m_name;
    element->Index = k;
    if (onCreate)
        onCreate(*element);
    m_elements.emplace(k, std::move(element));
}

template <class T>
void ElementArray<T>::Unload(int k)
{
    if (k == 0)
        elementerrors::designTimeElement();
    auto it = m_elements.find(k);
    if (it == m_elements.end())
        elementerrors::noSuchElement(m_name, k);
    m_elements.erase(it);
}

template <class T>
void ElementArray<T>::setOnCreate(std::function<void(T&)> handler)
{
    onCreate = std::move(handler);
    if (onCreate)
        for (auto& [index, element] : m_elements)
            onCreate(*element);
}

}  // namespace platform
