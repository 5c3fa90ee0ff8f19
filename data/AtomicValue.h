#pragma once

#include <QJsonValue>
#include <QVariant>

#include <atomic>

// A field that one thread writes while another reads it, with the syntax of a
// plain one: it converts to and from T (and to the JSON and settings values a
// plain T becomes), copies by value and supports the compound assignments its
// writers use. A read-modify-write is not one atomic step: each field has one
// writing thread at a time.
template<typename T>
class AtomicValue
{
public:
    AtomicValue() : m_value(T()) {}
    explicit AtomicValue(T value) : m_value(value) {}
    AtomicValue(const AtomicValue &other) : m_value(other.load()) {}
    AtomicValue &operator=(const AtomicValue &other)
    {
        store(other.load());
        return *this;
    }
    AtomicValue &operator=(T value)
    {
        store(value);
        return *this;
    }

    operator T() const { return load(); }
    operator QJsonValue() const { return QJsonValue(load()); }
    operator QVariant() const { return QVariant(load()); }
    T load() const { return m_value.load(); }
    void store(T value) { m_value.store(value); }

    AtomicValue &operator+=(T delta) { return *this = load() + delta; }
    AtomicValue &operator-=(T delta) { return *this = load() - delta; }
    AtomicValue &operator++() { return *this += T(1); }
    AtomicValue &operator--() { return *this -= T(1); }
    T operator++(int)
    {
        const T old = load();
        store(old + T(1));
        return old;
    }
    T operator--(int)
    {
        const T old = load();
        store(old - T(1));
        return old;
    }

private:
    std::atomic<T> m_value;
};
