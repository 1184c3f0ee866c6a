// XmlDocument speed on a generated layouts-like file of about 10 MB, beside pugixml as a
// yardstick: parse throughput in memory and from the file, and the cost of GetAttribute.
#include <windows.h>

#include <pugixml.hpp>

#include <algorithm>
#include <cstdio>
#include <string>

#include "storage/XmlDocument.h"
#include "support/Bench.h"
#include "support/TestPaths.h"

namespace {

// A layouts file with many keyboards' worth of keys: about 10 MB of UTF-8.
std::wstring MakeLayoutsText(size_t targetBytes, size_t& keys)
{
    std::wstring t = L"<?xml version=\"1.0\" encoding=\"utf-8\"?>\r\n<device.info>\r\n"
                     L"  <menu macro=\"1\" light_mode=\"1\"/>\r\n  <function sleep_time=\"1\"/>\r\n"
                     L"  <firmware version=\"1.02\" file=\"fw.bin\" url=\"http://example.invalid/fw\"/>\r\n"
                     L"  <light rgb_keyboard=\"1\" default_mode=\"3\" default_brightness=\"4\" default_speed=\"2\" "
                     L"brightness_max=\"4\" speed_max=\"4\">\r\n";
    for (int i = 0; i < 20; ++i)
        t += L"    <info name=\"" + std::to_wstring(300 + i) + L"\" mode=\"" + std::to_wstring(i) +
             L"\" attribute=\"" + std::to_wstring(i == 19 ? 256 : 0) + L"\"/>\r\n";
    t += L"  </light>\r\n  <Keyboard xpos=\"10\" ypos=\"20\" width=\"900\" height=\"300\" image=\"k.png\" "
         L"row_count=\"6\" col_count=\"21\">\r\n    <KeyItems>\r\n";
    keys = 0;
    while (t.size() < targetBytes) {
        const int i = static_cast<int>(keys++);
        wchar_t line[400];
        swprintf(line, 400,
                 L"      <key code=\"0x%02X\" name=\"K%d\" desc=\"Key &lt;%d&gt;\" key_index=\"%d\" light_index=\"%d\" "
                 L"icon=\"\" row_col=\"%d_%02d\" rect=\"%d#%d#40#40\"/>\r\n",
                 i & 0xFF, i, i, i % 128, i % 128, i % 6, i % 21, 10 + 50 * (i % 21), 10 + 50 * (i % 6));
        t += line;
    }
    t += L"    </KeyItems>\r\n  </Keyboard>\r\n</device.info>\r\n";
    return t;
}

std::string Utf8(const std::wstring& w)
{
    int n = WideCharToMultiByte(CP_UTF8, 0, w.data(), static_cast<int>(w.size()), nullptr, 0, nullptr, nullptr);
    std::string s(n, '\0');
    WideCharToMultiByte(CP_UTF8, 0, w.data(), static_cast<int>(w.size()), &s[0], n, nullptr, nullptr);
    return s;
}

// Best time of a few runs.
template <class F>
double Best(int runs, F f)
{
    double best = 1e30;
    for (int r = 0; r < runs; ++r) {
        const double t0 = bench::Now();
        f();
        best = std::min(best, bench::Now() - t0);
    }
    return best;
}

} // namespace

TASTRO_BENCH(xml_parse)
{
    size_t keys = 0;
    const std::wstring text = MakeLayoutsText(10u * 1000 * 1000, keys);
    const std::string bytes = Utf8(text);
    const double mb = bytes.size() / 1e6;
    bench::Report("file size", mb, "MB");
    bench::Report("elements", static_cast<double>(keys + 30), "");

    // In memory: XmlDocument parses its UTF-16 text; pugixml parses the UTF-8 bytes.
    XmlDocument doc;
    if (!doc.SetText(text)) {
        bench::Note("generated file is not well-formed");
        return;
    }
    const double ours = Best(5, [&] { bench::Consume(reinterpret_cast<const void*>(doc.Parse())); });
    pugi::xml_document pdoc;
    const double theirs = Best(5, [&] {
        pugi::xml_parse_result r = pdoc.load_buffer(bytes.data(), bytes.size());
        bench::Consume(&r);
    });
    bench::Report("XmlDocument Parse", mb / ours, "MB/s");
    bench::Report("pugixml load_buffer", mb / theirs, "MB/s");
    bench::Report("XmlDocument / pugixml (in memory)", theirs / ours, "x");

    // From the file: reading, conversion to UTF-16 and parsing.
    const std::wstring folder = testsupport::MakeTempFolder(L"tastro-xmlbench");
    const std::wstring path = folder + L"\\layouts.xml";
    FILE* f = _wfopen(path.c_str(), L"wb");
    if (!f) {
        bench::Note("cannot write the temporary file");
        return;
    }
    fwrite(bytes.data(), 1, bytes.size(), f);
    fclose(f);
    const double oursFile = Best(5, [&] {
        XmlDocument d;
        bench::Consume(reinterpret_cast<const void*>(d.LoadFile(path.c_str())));
    });
    const double theirsFile = Best(5, [&] {
        pugi::xml_document d;
        pugi::xml_parse_result r = d.load_file(path.c_str());
        bench::Consume(&r);
    });
    const double readOnly = Best(5, [&] {
        std::wstring t, result;
        int options = 0;
        bench::Consume(reinterpret_cast<const void*>(XmlDocument::ReadFileText(path.c_str(), t, result, options)));
    });
    bench::Report("XmlDocument ReadFileText alone", mb / readOnly, "MB/s");
    bench::Report("XmlDocument LoadFile", mb / oursFile, "MB/s");
    bench::Report("pugixml load_file", mb / theirsFile, "MB/s");
    bench::Report("XmlDocument / pugixml (from file)", theirsFile / oursFile, "x");
    testsupport::RemoveTree(folder);
}

TASTRO_BENCH(xml_get_attribute)
{
    size_t keys = 0;
    const std::wstring text = MakeLayoutsText(2u * 1000 * 1000, keys);
    XmlDocument doc(text.c_str());
    // The reader's pattern: walk the keys, read each attribute by name.
    auto walkOnce = [&](const wchar_t* name) {
        size_t total = 0, count = 0;
        doc.SetText(text);
        doc.FindElement(L"device.info");
        doc.EnterElement();
        doc.FindElement(L"Keyboard");
        doc.EnterElement();
        doc.FindElement(L"KeyItems");
        doc.EnterElement();
        const double t0 = bench::Now();
        while (doc.FindElement(L"key")) {
            total += doc.GetAttribute(name).size();
            ++count;
        }
        const double t = bench::Now() - t0;
        bench::Consume(&total);
        return count ? t / count : 0.0;
    };
    auto walk = [&](const wchar_t* name) {
        double best = 1e30;
        for (int r = 0; r < 3; ++r)
            best = std::min(best, walkOnce(name));
        return best;
    };
    bench::Report("FindElement + GetAttribute, first attribute (code)", walk(L"code") * 1e9, "ns per key");
    bench::Report("FindElement + GetAttribute, escaped value (desc)", walk(L"desc") * 1e9, "ns per key");
    bench::Report("FindElement + GetAttribute, last attribute (rect)", walk(L"rect") * 1e9, "ns per key");
    bench::Report("FindElement + GetAttribute, missing attribute", walk(L"nothing") * 1e9, "ns per key");

    size_t count = 0;
    doc.SetText(text);
    doc.FindElement(L"device.info");
    doc.EnterElement();
    doc.FindElement(L"Keyboard");
    doc.EnterElement();
    doc.FindElement(L"KeyItems");
    doc.EnterElement();
    const double t0 = bench::Now();
    while (doc.FindElement(L"key"))
        ++count;
    const double findOnly = count ? (bench::Now() - t0) / count : 0.0;
    bench::Report("FindElement alone", findOnly * 1e9, "ns per key");
}
