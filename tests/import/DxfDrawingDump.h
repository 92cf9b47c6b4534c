#pragma once
// A text form of a DXF drawing's stores: every entity with its ids and
// fields, and every block with its own, for the golden summaries. It goes by
// the records' field names alone, which the import it replaced shared.
#include <cstdio>
#include <sstream>
#include <string>
#include <variant>

namespace dxfdump {

inline std::string Num(double v)
{
    char buf[40];
    std::snprintf(buf, sizeof buf, "%.17g", v);
    return buf;
}

template <class V>
std::string Vec(const V& p)
{
    return "(" + Num(p.x) + " " + Num(p.y) + " " + Num(p.z) + ")";
}

template <class T>
const T& Deref(const T& x)
{
    return x;
}
template <class T>
const T& Deref(T* x)
{
    return *x;
}

// One entity body, whichever kind of record it is.
template <class T>
std::string Body(const T& e)
{
    std::string s;
    if constexpr (requires { e.vertices; }) {
        s = "poly " + std::to_string(e.flags);
        for (const auto& v : e.vertices) s += " " + Num(v.x) + "," + Num(v.y) + "," + Num(v.z) + "," + Num(v.bulge);
    } else if constexpr (requires { e.text; }) {
        s = "text " + Vec(e.insert) + Num(e.height) + " " + Num(e.rotation) + " " + Num(e.widthFactor) + " " +
            std::to_string(e.justification) + Vec(e.align) + std::to_string(e.styleId) + " [" + std::string(e.text) +
            "]";
    } else if constexpr (requires { e.corners; }) {
        s = "solid";
        for (const auto& c : e.corners) s += Vec(c);
    } else if constexpr (requires { e.scaleX; }) {
        s = "insert " + Vec(e.insert) + Num(e.scaleX) + " " + Num(e.scaleY) + " " + Num(e.scaleZ) + " " +
            Num(e.rotation) + " " + std::to_string(e.blockId);
    } else if constexpr (requires { e.startAngle; }) {
        s = "arc " + Vec(e.centre) + Num(e.radius) + " " + Num(e.startAngle) + " " + Num(e.endAngle);
    } else if constexpr (requires { e.radius; }) {
        s = "circle " + Vec(e.centre) + Num(e.radius);
    } else if constexpr (requires { e.at; }) {
        s = "point " + Vec(e.at);
    } else {
        s = "line " + Vec(e.start) + Vec(e.end);
    }
    return s;
}

template <class Store>
void DumpStore(std::ostringstream& out, const Store& store)
{
    out << "count " << store.count << " records " << store.records.size() << '\n';
    for (const auto& e : store.records) {
        const auto& h = e.header;
        out << h.type << ' ' << h.id << ' ' << h.layerId << ' ' << h.ltypeId << ' ' << h.colour << ' '
            << Num(h.thickness) << ' ' << Num(h.ltScale) << " #" << e.data.index() << ' '
            << std::visit([](const auto& x) { return Body(Deref(x)); }, e.data) << '\n';
    }
}

template <class Drawing>
std::string DumpDrawing(const Drawing& d)
{
    std::ostringstream out;
    out << "ids " << d.idCounter << " error " << static_cast<int>(d.error) << '\n';
    DumpStore(out, d.entities);
    for (const auto& b : d.blocks) {
        out << "block " << b.id << " [" << b.name << "] " << int{b.flags} << Vec(b.base) << b.layerId << '\n';
        DumpStore(out, b.store);
    }
    return out.str();
}

}  // namespace dxfdump
