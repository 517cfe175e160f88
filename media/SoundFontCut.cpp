// SoundFont 2 is a RIFF file: a list of text about the font (INFO), a list with the sample
// data (sdta: 16-bit points in "smpl", optionally their low 8 bits in "sm24") and a list of
// nine tables (pdta) that chain presets to zones to generators, generators to instruments,
// instruments to zones to generators, and generators to samples. Every table ends with a
// terminal record that only marks the end of the last entry's range. A subset keeps the
// chosen presets and walks the chain down, renumbering each table as it goes.
#include "media/SoundFontCut.h"

#include <algorithm>
#include <cstdint>
#include <cstring>
#include <map>
#include <optional>
#include <string>
#include <utility>
#include <vector>

namespace {

using Bytes = std::vector<std::uint8_t>;

// Every field is little-endian, whatever the processor: assembled and taken apart byte by byte.
std::uint32_t U16(const std::uint8_t* p) { return p[0] | std::uint32_t(p[1]) << 8; }
std::uint32_t U32(const std::uint8_t* p) { return U16(p) | U16(p + 2) << 16; }
void SetU16(std::uint8_t* p, std::uint32_t v) {
    p[0] = std::uint8_t(v & 0xFF);
    p[1] = std::uint8_t(v >> 8 & 0xFF);
}
void SetU32(std::uint8_t* p, std::uint32_t v) {
    SetU16(p, v & 0xFFFF);
    SetU16(p + 2, v >> 16);
}

void Append(Bytes& out, const std::uint8_t* from, std::size_t count) { out.insert(out.end(), from, from + count); }
void Append(Bytes& out, const Bytes& more) { out.insert(out.end(), more.begin(), more.end()); }

struct Span {
    const std::uint8_t* data = nullptr;
    std::uint32_t size = 0;
    bool Found() const { return data != nullptr; }
};

// The chunks of a RIFF body: ids of plain chunks, and "LIST" + type for lists (their data
// without the type). A chunk that runs past the body makes the whole body unreadable.
std::optional<std::map<std::string, Span>> ReadChunks(const std::uint8_t* data, std::uint64_t size)
{
    std::map<std::string, Span> chunks;
    std::uint64_t at = 0;
    while (at + 8 <= size) {
        const std::string id(reinterpret_cast<const char*>(data + at), 4);
        const std::uint64_t length = U32(data + at + 4);
        if (length > size - at - 8)
            return std::nullopt;
        const std::uint8_t* body = data + at + 8;
        if (id == "LIST") {
            if (length < 4)
                return std::nullopt;
            chunks["LIST" + std::string(reinterpret_cast<const char*>(body), 4)] = {body + 4,
                                                                                    std::uint32_t(length - 4)};
        } else {
            chunks[id] = {body, std::uint32_t(length)};
        }
        at += 8 + length + (length & 1);
    }
    return chunks;
}

// One table: fixed-size records, the last of them the terminal one.
struct Table {
    Span span;
    std::uint32_t recordSize = 0;
    std::uint32_t Count() const { return span.size / recordSize; } // with the terminal record
    const std::uint8_t* Record(std::uint32_t i) const { return span.data + std::size_t(i) * recordSize; }
    bool Valid() const { return span.Found() && span.size % recordSize == 0 && Count() >= 1; }
};

struct Tables {
    Table phdr, pbag, pmod, pgen, inst, ibag, imod, igen, shdr;
};

constexpr std::uint32_t InstrumentGenerator = 41;
constexpr std::uint32_t SampleGenerator = 53;
constexpr std::uint32_t RomSample = 0x8000;
constexpr std::uint32_t MonoSample = 1;
constexpr std::uint32_t PaddingPoints = 46; // zero points after every sample, as the format asks

Bytes Chunk(const char* id, const Bytes& body)
{
    Bytes out(id, id + 4);
    std::uint8_t size[4];
    SetU32(size, std::uint32_t(body.size()));
    Append(out, size, 4);
    Append(out, body);
    if (body.size() & 1)
        out.push_back(0);
    return out;
}

Bytes List(const char* type, const Bytes& children)
{
    Bytes body(type, type + 4);
    Append(body, children);
    return Chunk("LIST", body);
}

// The zones of entry `i` of a header table (presets or instruments): the range of bag records
// from its bag index up to the next entry's. Checked against the bag table's size.
std::optional<std::pair<std::uint32_t, std::uint32_t>> Zones(const Table& headers, std::uint32_t bagField,
                                                            const Table& bags, std::uint32_t i)
{
    const std::uint32_t first = U16(headers.Record(i) + bagField);
    const std::uint32_t end = U16(headers.Record(i + 1) + bagField);
    if (first > end || end >= bags.Count())
        return std::nullopt;
    return std::make_pair(first, end);
}

// Copies the zones of the entries `kept` (header table, its bags, modulators and generators)
// into new tables, giving the generator `linkGenerator` its new target from `newIndex`.
// Returns false when an index leads outside its table or to a target without a new number.
struct Copied {
    Bytes headers, bags, mods, gens;
};
bool CopyZones(const std::vector<std::uint32_t>& kept, std::uint32_t bagField, const Table& headers,
               const Table& bags, const Table& mods, const Table& gens, std::uint32_t linkGenerator,
               const std::map<std::uint32_t, std::uint32_t>& newIndex, Copied& out)
{
    std::uint32_t bagCount = 0, modCount = 0, genCount = 0;
    for (const std::uint32_t i : kept) {
        const auto zones = Zones(headers, bagField, bags, i);
        if (!zones)
            return false;
        const std::size_t header = out.headers.size();
        Append(out.headers, headers.Record(i), headers.recordSize);
        SetU16(out.headers.data() + header + bagField, bagCount);
        for (std::uint32_t bag = zones->first; bag < zones->second; ++bag) {
            const std::uint32_t genFirst = U16(bags.Record(bag)), genEnd = U16(bags.Record(bag + 1));
            const std::uint32_t modFirst = U16(bags.Record(bag) + 2), modEnd = U16(bags.Record(bag + 1) + 2);
            if (genFirst > genEnd || genEnd >= gens.Count() || modFirst > modEnd || modEnd >= mods.Count())
                return false;
            std::uint8_t record[4];
            SetU16(record, genCount);
            SetU16(record + 2, modCount);
            Append(out.bags, record, 4);
            ++bagCount;
            Append(out.mods, mods.Record(modFirst), std::size_t(modEnd - modFirst) * mods.recordSize);
            modCount += modEnd - modFirst;
            for (std::uint32_t g = genFirst; g < genEnd; ++g) {
                const std::size_t gen = out.gens.size();
                Append(out.gens, gens.Record(g), gens.recordSize);
                if (U16(gens.Record(g)) == linkGenerator) {
                    const auto target = newIndex.find(U16(gens.Record(g) + 2));
                    if (target == newIndex.end())
                        return false;
                    SetU16(out.gens.data() + gen + 2, target->second);
                }
                ++genCount;
            }
        }
        if (bagCount > 0xFFFF || modCount > 0xFFFF || genCount > 0xFFFF)
            return false;
    }
    // The terminal records: the old ones with the new ends of the ranges.
    const std::size_t header = out.headers.size();
    Append(out.headers, headers.Record(headers.Count() - 1), headers.recordSize);
    SetU16(out.headers.data() + header + bagField, bagCount);
    std::uint8_t bag[4];
    SetU16(bag, genCount);
    SetU16(bag + 2, modCount);
    Append(out.bags, bag, 4);
    Append(out.mods, mods.Record(mods.Count() - 1), mods.recordSize);
    Append(out.gens, gens.Record(gens.Count() - 1), gens.recordSize);
    return true;
}

// The targets (instrument or sample numbers) the generator `linkGenerator` names in the zones
// of the entries `kept`, checked against `targets`; nothing when one lies outside.
std::optional<std::vector<std::uint32_t>> Targets(const std::vector<std::uint32_t>& kept, std::uint32_t bagField,
                                                  const Table& headers, const Table& bags, const Table& gens,
                                                  std::uint32_t linkGenerator, std::uint32_t targets)
{
    std::vector<std::uint32_t> found;
    for (const std::uint32_t i : kept) {
        const auto zones = Zones(headers, bagField, bags, i);
        if (!zones)
            return std::nullopt;
        const std::uint32_t genFirst = U16(bags.Record(zones->first));
        const std::uint32_t genEnd = U16(bags.Record(zones->second));
        if (genFirst > genEnd || genEnd >= gens.Count())
            return std::nullopt;
        for (std::uint32_t g = genFirst; g < genEnd; ++g) {
            if (U16(gens.Record(g)) != linkGenerator)
                continue;
            const std::uint32_t target = U16(gens.Record(g) + 2);
            if (target >= targets)
                return std::nullopt;
            found.push_back(target);
        }
    }
    std::sort(found.begin(), found.end());
    found.erase(std::unique(found.begin(), found.end()), found.end());
    return found;
}

std::map<std::uint32_t, std::uint32_t> Renumber(const std::vector<std::uint32_t>& kept)
{
    std::map<std::uint32_t, std::uint32_t> index;
    for (std::uint32_t i = 0; i < kept.size(); ++i)
        index[kept[i]] = i;
    return index;
}

} // namespace

std::vector<std::uint8_t> SubsetSoundFont(std::span<const std::uint8_t> font, const std::set<TPresetId>& wanted)
{
    if (font.size() < 12 || std::memcmp(font.data(), "RIFF", 4) != 0 || std::memcmp(font.data() + 8, "sfbk", 4) != 0)
        return {};
    const std::uint64_t riffSize = std::min<std::uint64_t>(U32(font.data() + 4), std::uint64_t(font.size()) - 8);
    if (riffSize < 4)
        return {};
    const auto top = ReadChunks(font.data() + 12, riffSize - 4);
    if (!top || !top->count("LISTINFO") || !top->count("LISTsdta") || !top->count("LISTpdta"))
        return {};
    const Span info = top->at("LISTINFO");
    const auto sdta = ReadChunks(top->at("LISTsdta").data, top->at("LISTsdta").size);
    const auto pdta = ReadChunks(top->at("LISTpdta").data, top->at("LISTpdta").size);
    if (!sdta || !pdta || !sdta->count("smpl"))
        return {};
    const Span smpl = sdta->at("smpl");
    const std::uint32_t points = smpl.size / 2;
    const Span sm24 = sdta->count("sm24") && sdta->at("sm24").size >= points ? sdta->at("sm24") : Span{};

    const auto table = [&](const char* id, std::uint32_t recordSize) {
        return Table{pdta->count(id) ? pdta->at(id) : Span{}, recordSize};
    };
    const Tables t{table("phdr", 38), table("pbag", 4), table("pmod", 10), table("pgen", 4), table("inst", 22),
                   table("ibag", 4), table("imod", 10), table("igen", 4), table("shdr", 46)};
    for (const Table* each : {&t.phdr, &t.pbag, &t.pmod, &t.pgen, &t.inst, &t.ibag, &t.imod, &t.igen, &t.shdr})
        if (!each->Valid())
            return {};

    std::vector<std::uint32_t> presets;
    for (std::uint32_t i = 0; i + 1 < t.phdr.Count(); ++i) {
        const TPresetId id{int(U16(t.phdr.Record(i) + 22)), int(U16(t.phdr.Record(i) + 20))};
        if (wanted.count(id))
            presets.push_back(i);
    }
    if (presets.empty())
        return {};
    const auto instruments = Targets(presets, 24, t.phdr, t.pbag, t.pgen, InstrumentGenerator, t.inst.Count() - 1);
    if (!instruments)
        return {};
    auto samples = Targets(*instruments, 20, t.inst, t.ibag, t.igen, SampleGenerator, t.shdr.Count() - 1);
    if (!samples)
        return {};
    // A stereo sample names its other half; both go along, however far the chain leads.
    for (std::size_t i = 0; i < samples->size(); ++i) {
        const std::uint8_t* header = t.shdr.Record((*samples)[i]);
        const std::uint32_t type = U16(header + 44), link = U16(header + 42);
        if (!(type & RomSample) && type != MonoSample && link < t.shdr.Count() - 1 &&
            std::find(samples->begin(), samples->end(), link) == samples->end())
            samples->push_back(link);
    }
    std::sort(samples->begin(), samples->end());
    const auto newInstrument = Renumber(*instruments);
    const auto newSample = Renumber(*samples);

    Copied presetTables, instrumentTables;
    if (!CopyZones(presets, 24, t.phdr, t.pbag, t.pmod, t.pgen, InstrumentGenerator, newInstrument, presetTables) ||
        !CopyZones(*instruments, 20, t.inst, t.ibag, t.imod, t.igen, SampleGenerator, newSample, instrumentTables))
        return {};

    // The samples' points, each stretch once, with the loop points moved along with the start.
    Bytes points16, points8, headers;
    std::map<std::pair<std::uint32_t, std::uint32_t>, std::uint32_t> copied; // old stretch -> new first point
    for (const std::uint32_t s : *samples) {
        std::uint8_t header[46];
        std::memcpy(header, t.shdr.Record(s), sizeof header);
        const std::uint32_t type = U16(header + 44), link = U16(header + 42);
        if (!(type & RomSample)) {
            const std::uint32_t start = U32(header + 20), end = U32(header + 24);
            const std::uint32_t loopStart = U32(header + 28), loopEnd = U32(header + 32);
            // A sample that reaches past the data is damaged: cut down, it could not be told
            // apart from one that is not, so the font is left whole for the synthesizer to judge.
            if (start > end || end > points || loopStart > points || loopEnd > points)
                return {};
            // Every point the header names comes along, a loop turned inside out included.
            const std::uint32_t from = std::min({start, loopStart, loopEnd});
            const std::uint32_t to = std::max({end, loopStart, loopEnd});
            auto at = copied.find({from, to});
            if (at == copied.end()) {
                at = copied.emplace(std::make_pair(from, to), std::uint32_t(points16.size() / 2)).first;
                // The points after the end go along too, as the font has them: the format asks
                // for 46 points of silence there, but fonts leave fewer, and the synthesizer's
                // interpolation may look a point or two past the end.
                const std::uint32_t past = std::min(to + PaddingPoints, points);
                Append(points16, smpl.data + std::size_t(from) * 2, std::size_t(past - from) * 2);
                points16.resize(points16.size() + std::size_t(to + PaddingPoints - past) * 2);
                if (sm24.Found()) {
                    Append(points8, sm24.data + from, past - from);
                    points8.resize(points8.size() + (to + PaddingPoints - past));
                }
                if (points16.size() / 2 > 0xFFFFFFF0ULL)
                    return {};
            }
            const std::uint32_t shift = at->second - from; // unsigned: wraps as a move down would
            SetU32(header + 20, start + shift);
            SetU32(header + 24, end + shift);
            SetU32(header + 28, loopStart + shift);
            SetU32(header + 32, loopEnd + shift);
        }
        if (!(type & RomSample) && type != MonoSample && newSample.count(link))
            SetU16(header + 42, newSample.at(link));
        Append(headers, header, sizeof header);
    }
    Append(headers, t.shdr.Record(t.shdr.Count() - 1), 46);

    Bytes sampleData = Chunk("smpl", points16);
    if (sm24.Found())
        Append(sampleData, Chunk("sm24", points8));
    Bytes tables;
    for (const auto& [id, table] :
         {std::pair{"phdr", &presetTables.headers}, {"pbag", &presetTables.bags}, {"pmod", &presetTables.mods},
          {"pgen", &presetTables.gens}, {"inst", &instrumentTables.headers}, {"ibag", &instrumentTables.bags},
          {"imod", &instrumentTables.mods}, {"igen", &instrumentTables.gens}, {"shdr", &headers}})
        Append(tables, Chunk(id, *table));
    Bytes body{'s', 'f', 'b', 'k'};
    Append(body, List("INFO", Bytes(info.data, info.data + info.size)));
    Append(body, List("sdta", sampleData));
    Append(body, List("pdta", tables));
    return Chunk("RIFF", body);
}
