// Sound effects and music on SDL2_mixer. The effects live in the program's resources; the
// music files lie in the game's data folder and the player's own music folder. All calls come
// from the user-interface thread.
#include "media/Media.h"

#include "media/MidiLength.h"
#include "media/RuntimeLibraries.h"
#include "media/SoundFont.h"
#include "media/TuneFiles.h"

#include <QByteArray>
#include <QFile>
#include <QFileInfo>
#include <QStringList>

#include <SDL.h>
#include <SDL_mixer.h>
#include <dlfcn.h>
#include <sys/mman.h>
#include <unistd.h>

#include <atomic>
#include <chrono>
#include <map>
#include <set>
#include <type_traits>
#include <utility>

namespace {

const char* const DefaultSoundFont = "/usr/share/sounds/sf2/default-GM.sf2";

// SDL and its mixer are opened when the game first needs sound, after its window is on the
// screen. Linked to the program, they and the forty-odd libraries they bring were loaded before
// main() on every start, some 5 ms before the first frame could be drawn. Where they cannot be
// opened, the game is silent, as without a sound card.
struct SdlApi {
    decltype(&::SDL_SetHint) SetHint = nullptr;
    decltype(&::SDL_InitSubSystem) InitSubSystem = nullptr;
    decltype(&::SDL_QuitSubSystem) QuitSubSystem = nullptr;
    decltype(&::SDL_RWFromConstMem) RWFromConstMem = nullptr;
    decltype(&::Mix_SetSoundFonts) SetSoundFonts = nullptr;
    decltype(&::Mix_OpenAudio) OpenAudio = nullptr;
    decltype(&::Mix_Init) Init = nullptr;
    decltype(&::Mix_Quit) Quit = nullptr;
    decltype(&::Mix_CloseAudio) CloseAudio = nullptr;
    decltype(&::Mix_HaltChannel) HaltChannel = nullptr;
    decltype(&::Mix_HaltMusic) HaltMusic = nullptr;
    decltype(&::Mix_FreeChunk) FreeChunk = nullptr;
    decltype(&::Mix_FreeMusic) FreeMusic = nullptr;
    decltype(&::Mix_LoadWAV_RW) LoadWAV_RW = nullptr;
    decltype(&::Mix_PlayChannel) PlayChannel = nullptr;
    decltype(&::Mix_LoadMUSType_RW) LoadMUSType_RW = nullptr;
    decltype(&::Mix_PlayMusic) PlayMusic = nullptr;
    decltype(&::Mix_PlayingMusic) PlayingMusic = nullptr;
};

const SdlApi* Sdl()
{
    static const SdlApi* const api = []() -> const SdlApi* {
        // Global: FluidSynth, which the mixer brings, must be found by the program's own
        // stand-in for its settings constructor (below).
        void* mixer = dlopen(ZELVANO_MIXER_SONAME, RTLD_NOW | RTLD_GLOBAL);
        if (!mixer)
            return nullptr;
        static SdlApi a;
        bool complete = true;
        const auto get = [&](auto& function, const char* name) {
            function = reinterpret_cast<std::remove_reference_t<decltype(function)>>(dlsym(mixer, name));
            complete = complete && function;
        };
        get(a.SetHint, "SDL_SetHint");
        get(a.InitSubSystem, "SDL_InitSubSystem");
        get(a.QuitSubSystem, "SDL_QuitSubSystem");
        get(a.RWFromConstMem, "SDL_RWFromConstMem");
        get(a.SetSoundFonts, "Mix_SetSoundFonts");
        get(a.OpenAudio, "Mix_OpenAudio");
        get(a.Init, "Mix_Init");
        get(a.Quit, "Mix_Quit");
        get(a.CloseAudio, "Mix_CloseAudio");
        get(a.HaltChannel, "Mix_HaltChannel");
        get(a.HaltMusic, "Mix_HaltMusic");
        get(a.FreeChunk, "Mix_FreeChunk");
        get(a.FreeMusic, "Mix_FreeMusic");
        get(a.LoadWAV_RW, "Mix_LoadWAV_RW");
        get(a.PlayChannel, "Mix_PlayChannel");
        get(a.LoadMUSType_RW, "Mix_LoadMUSType_RW");
        get(a.PlayMusic, "Mix_PlayMusic");
        get(a.PlayingMusic, "Mix_PlayingMusic");
        return complete ? &a : nullptr;
    }();
    return api;
}

enum class AudioState { Untried, Open, Failed };
AudioState audioState = AudioState::Untried;
bool sdlAudioReady = false; // SDL's audio part started, with or without a device

// The effects are loaded on first use and kept for the rest of the run; a name that has
// no resource is remembered as such so it is not looked up again.
struct Effect {
    QByteArray bytes;
    Mix_Chunk* chunk = nullptr;
};
std::map<QString, Effect>& Effects()
{
    static std::map<QString, Effect> effects;
    return effects;
}

// One loaded music file. Every instance is known to CloseAudio, which must free the
// mixer's music objects before the device goes away.
class MusicFile;
std::set<MusicFile*>& MusicFiles()
{
    static std::set<MusicFile*> files;
    return files;
}

// The system's soundfont cut down to one tune's instruments, in a file that lives only in
// memory. The synthesizer parses every preset of the font it is given, about 10 MB for the
// whole General MIDI font, and reads a preset's samples from the file when a channel selects
// it; so the file stays open as long as the tune is loaded.
int tunesOnCutDownFonts = 0;

class TuneFont {
public:
    TuneFont() = default;
    ~TuneFont() { Close(); }
    TuneFont(const TuneFont&) = delete;
    TuneFont& operator=(const TuneFont&) = delete;

    // The path of the cut-down font for `midi`, or an empty one when there is nothing to cut
    // (a font chosen through the environment, no system font, a tune that cannot be read).
    QByteArray Make(const QByteArray& midi)
    {
        Close();
        if (!qEnvironmentVariableIsEmpty("SDL_SOUNDFONTS"))
            return {};
        const std::set<TPresetId> presets = MidiPresets(midi);
        QFile font(QString::fromLatin1(DefaultSoundFont));
        if (presets.empty() || !font.open(QIODevice::ReadOnly))
            return {};
        // Mapped, not read: only the tables and the samples the tune needs are touched.
        const uchar* mapped = font.map(0, font.size());
        if (!mapped)
            return {};
        const QByteArray subset = SubsetSoundFont(
            QByteArray::fromRawData(reinterpret_cast<const char*>(mapped), qsizetype(font.size())), presets);
        font.unmap(const_cast<uchar*>(mapped));
        if (subset.isEmpty())
            return {};
        m_fd = memfd_create("zelvano-soundfont", MFD_CLOEXEC);
        if (m_fd < 0)
            return {};
        qsizetype written = 0;
        while (written < subset.size()) {
            const ssize_t n = write(m_fd, subset.constData() + written, std::size_t(subset.size() - written));
            if (n <= 0) {
                Close();
                return {};
            }
            written += n;
        }
        return "/proc/self/fd/" + QByteArray::number(m_fd);
    }

    void Close()
    {
        if (m_fd >= 0)
            close(m_fd);
        m_fd = -1;
    }

private:
    int m_fd = -1;
};

class MusicFile {
public:
    MusicFile() { MusicFiles().insert(this); }
    ~MusicFile()
    {
        Close();
        MusicFiles().erase(this);
    }
    MusicFile(const MusicFile&) = delete;
    MusicFile& operator=(const MusicFile&) = delete;

    bool Open(const QString& path)
    {
        Close();
        if (!OpenAudio())
            return false;
        // Read once, here, and handed to the mixer as bytes: the mixer opening the path itself
        // would wait on a pipe and read a device without end, whatever was checked before.
        TTuneBytes tune = ReadTuneFile(path);
        if (tune.refusal != TTuneRefusal::None) return false;
        m_midi = std::move(tune.bytes);
        const QByteArray font = m_font.Make(m_midi);
        if (!font.isEmpty()) Sdl()->SetSoundFonts(font.constData());
        m_music = Load();
        if (!font.isEmpty()) {
            Sdl()->SetSoundFonts(DefaultSoundFont);
            if (m_music) {
                ++tunesOnCutDownFonts;
            } else {
                // The cut font could not be read (no /proc, say): the whole one, as ever.
                m_font.Close();
                m_music = Load();
            }
        }
        m_lengthMs = m_music ? MidiLengthMs(m_midi) : -1;
        if (!m_music) m_midi.clear();
        return m_music != nullptr;
    }

    // Freeing the music also stops it if it is the one playing.
    void Close() {
        if (m_music && audioState == AudioState::Open) Sdl()->FreeMusic(m_music);
        m_music = nullptr;
        m_midi.clear();
        m_font.Close();
    }

    // Plays from the beginning and over again without end: the mixer starts the tune anew
    // the moment its last event has passed. Played once, the player would report it as
    // playing for seconds more while its notes fade, and the timer's restart came only
    // after those seconds of silence. Only a file that reads as a tune of some length is
    // looped this way; the player would spin for ever on a looped file with nothing in it,
    // so anything else is played once and left to the timer's check. A file the mixer
    // cannot play is closed, so the timer does not try it again on every tick.
    void Play()
    {
        if (m_music && Sdl()->PlayMusic(m_music, m_lengthMs > 0 ? -1 : 1) != 0)
            Close();
        m_started = std::chrono::steady_clock::now();
    }

    bool IsOpen() const { return m_music != nullptr; }
    // The tune's own length by its file, -1 when it cannot be read.
    int LengthMs() const { return m_lengthMs; }
    bool IsPlaying() const { return m_music && Sdl()->PlayingMusic(); }

    // The MIDI player accepts any file when it is loaded and only finds out while playing
    // that there is nothing in it; such a "tune" is over the moment it starts.
    bool EndedAtOnce() const
    {
        return std::chrono::steady_clock::now() - m_started < std::chrono::milliseconds(500);
    }

private:
    // As a MIDI file whatever its first bytes say, as the mixer takes a *.mid path.
    Mix_Music* Load() const
    {
        SDL_RWops* rw = Sdl()->RWFromConstMem(m_midi.constData(), int(m_midi.size()));
        return rw ? Sdl()->LoadMUSType_RW(rw, MUS_MID, 1) : nullptr;
    }

    Mix_Music* m_music = nullptr;
    QByteArray m_midi; // kept while the mixer has the tune, whether it reads it all at once or not
    TuneFont m_font;
    int m_lengthMs = -1;
    std::chrono::steady_clock::time_point m_started{};
};

} // namespace

// ---- the synthesizer's settings ----------------------------------------------------------
// SDL_mixer makes a FluidSynth synthesizer for every MIDI file it opens and leaves us no say in
// its settings. By default FluidSynth reads every sample of the soundfont into memory (about
// 6 MB for the GM font), although a tune plays only a handful of instruments. So the program
// defines FluidSynth's settings constructor itself: the dynamic linker binds the mixer's call
// here, the real constructor makes the settings, and the synthesizer is told to read a
// preset's samples only when a channel selects it. The same samples play; what is heard does
// not change, only what is kept. Where the mixer finds FluidSynth by itself at run time, it
// calls the real constructor and everything is loaded as before.
namespace {
std::atomic<int> samplesOnDemand{0};
}

extern "C" __attribute__((visibility("default"))) void* new_fluid_settings()
{
    using Make = void* (*)();
    using SetInt = int (*)(void*, const char*, int);
    // The real ones: next in line after the program, or in FluidSynth itself, which the mixer
    // has brought along by now.
    static void* const fluid = dlopen(ZELVANO_FLUIDSYNTH_SONAME, RTLD_NOW | RTLD_NOLOAD);
    const auto real = [](const char* name) {
        void* function = dlsym(RTLD_NEXT, name);
        return function || !fluid ? function : dlsym(fluid, name);
    };
    static const auto make = reinterpret_cast<Make>(real("new_fluid_settings"));
    static const auto setInt = reinterpret_cast<SetInt>(real("fluid_settings_setint"));
    void* settings = make ? make() : nullptr;
    const int fluidOk = 0;
    if (settings && setInt && setInt(settings, "synth.dynamic-sample-loading", 1) == fluidOk)
        ++samplesOnDemand;
    return settings;
}

int SynthsLoadingSamplesOnDemand() { return samplesOnDemand; }
int TunesOnCutDownFonts() { return tunesOnCutDownFonts; }

void PrepareAudio()
{
    if (sdlAudioReady || !Sdl())
        return;
    // SDL would take SIGINT and SIGTERM for a quit event nobody reads; the game must still end
    // when the desktop asks it to.
    Sdl()->SetHint(SDL_HINT_NO_SIGNAL_HANDLERS, "1");
    sdlAudioReady = Sdl()->InitSubSystem(SDL_INIT_AUDIO) == 0;
}

bool OpenAudio()
{
    if (audioState != AudioState::Untried)
        return audioState == AudioState::Open;
    audioState = AudioState::Failed;
    PrepareAudio();
    if (!sdlAudioReady)
        return false;
    // A soundfont named by the player's environment wins; otherwise the system's GM font.
    if (!qEnvironmentVariableIsEmpty("SDL_SOUNDFONTS"))
        Sdl()->SetSoundFonts(nullptr);
    else if (QFile::exists(QString::fromLatin1(DefaultSoundFont)))
        Sdl()->SetSoundFonts(DefaultSoundFont);
    // 1024 frames keep an effect within about 25 ms of the click that asked for it.
    if (Sdl()->OpenAudio(44100, MIX_DEFAULT_FORMAT, 2, 1024) != 0) {
        Sdl()->QuitSubSystem(SDL_INIT_AUDIO);
        sdlAudioReady = false;
        return false;
    }
    Sdl()->Init(MIX_INIT_MID);
    audioState = AudioState::Open;
    return true;
}

void CloseAudio()
{
    if (audioState == AudioState::Open) {
        Sdl()->HaltChannel(-1);
        Sdl()->HaltMusic();
        for (MusicFile* file : MusicFiles())
            file->Close();
        for (auto& entry : Effects())
            if (entry.second.chunk)
                Sdl()->FreeChunk(entry.second.chunk);
        Effects().clear();
        Sdl()->CloseAudio();
        Sdl()->Quit();
    }
    if (sdlAudioReady)
        Sdl()->QuitSubSystem(SDL_INIT_AUDIO);
    sdlAudioReady = false;
    audioState = AudioState::Untried;
}

void PlayEffect(const QString& name)
{
    if (!OpenAudio())
        return;
    auto& effects = Effects();
    auto it = effects.find(name);
    if (it == effects.end()) {
        Effect effect;
        QFile file(QStringLiteral(":/sounds/") + name + QStringLiteral(".wav"));
        if (file.open(QIODevice::ReadOnly))
            effect.bytes = file.readAll();
        if (!effect.bytes.isEmpty()) {
            SDL_RWops* rw = Sdl()->RWFromConstMem(effect.bytes.constData(), int(effect.bytes.size()));
            effect.chunk = rw ? Sdl()->LoadWAV_RW(rw, 1) : nullptr;
        }
        it = effects.emplace(name, std::move(effect)).first;
    }
    // Always channel 0: the new effect cuts off whatever effect is still sounding.
    if (it->second.chunk)
        Sdl()->PlayChannel(0, it->second.chunk, 0);
}

struct TMusic::Impl {
    bool started = false;
    QStringList folders;
    QStringList names; // the listing the search walks through, paths
    int index = -1;    // position of the current file in names
    QString current;   // bare name of the current file
    MusicFile file;

    void OpenCurrent() { file.Open(names.at(index)); }
};

TMusic::TMusic() : m_impl(new Impl) {}
TMusic::~TMusic() { delete m_impl; }

void TMusic::Start(const QString& folder) { Start(QStringList{folder}); }

void TMusic::Start(const QStringList& folders)
{
    Impl& d = *m_impl;
    d.file.Close();
    d.started = true;
    d.folders = folders;
    d.names = ListMusic(folders);
    d.index = d.names.isEmpty() ? -1 : 0;
    d.current = QFileInfo(d.names.value(0)).fileName();
    if (d.index >= 0)
        d.OpenCurrent();
}

void TMusic::KeepAlive(bool musicOn)
{
    Impl& d = *m_impl;
    if (!musicOn || !d.file.IsOpen() || d.file.IsPlaying())
        return;
    if (d.file.EndedAtOnce())
        d.file.Close(); // unplayable: give up on it rather than retry every tick
    else
        d.file.Play();
}

void TMusic::Switch(bool& musicOn)
{
    Impl& d = *m_impl;
    if (musicOn) {
        d.file.Close();
        musicOn = false;
        return;
    }
    musicOn = true;
    if (!d.started)
        return;
    if (d.index + 1 < d.names.size()) {
        ++d.index;
    } else {
        // Past the last file the search starts over, so files added meanwhile join in.
        d.names = ListMusic(d.folders);
        d.index = d.names.isEmpty() ? -1 : 0;
    }
    if (d.index < 0)
        return; // nothing to play; the name stays what it was
    d.current = QFileInfo(d.names.at(d.index)).fileName();
    d.OpenCurrent();
    d.file.Play();
}

QString TMusic::FileName() const { return m_impl->current; }
bool TMusic::IsOpen() const { return m_impl->file.IsOpen(); }
bool TMusic::IsPlaying() const { return m_impl->file.IsPlaying(); }
