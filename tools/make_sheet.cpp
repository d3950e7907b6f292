// make_sheet: renders the editor's sprite sheet (band backgrounds, moon strip and the
// control-panel picture) and stores it as a sequential (baseline) JPEG.
//
// Usage: make_sheet OUT.jpg [--icon ICON.png]   the sheet, and the 256-pixel window icon
//        make_sheet --icons DIR                  the installed icons of every size
//
// Everything is procedural and deterministic: the same binary always produces the same
// picture, so the resource can be regenerated at any time.

#include <QDir>
#include <QFileInfo>
#include <QFont>
#include <QFontMetricsF>
#include <QGuiApplication>
#include <QImage>
#include <QLinearGradient>
#include <QPainter>
#include <QPainterPath>
#include <QRadialGradient>

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <tuple>
#include <vector>

#include <jpeglib.h>

namespace {

constexpr int kSheetW = 2200;
constexpr int kSheetH = 1105;
constexpr int kBandW = 2000;
constexpr int kBandH = 250;
constexpr int kMoonBandY = 750;
constexpr int kMoonBandH = 355;
constexpr int kPanelX = 2000;
constexpr QRgb kPanelGrey = 0xffe0dfe4; // 224,223,228

struct Rgb {
    double r, g, b;
};

Rgb mix(const Rgb &a, const Rgb &b, double t) {
    return {a.r + (b.r - a.r) * t, a.g + (b.g - a.g) * t, a.b + (b.b - a.b) * t};
}

int clampByte(double v) {
    return std::clamp(static_cast<int>(std::lround(v)), 0, 255);
}

QRgb toQRgb(const Rgb &c) {
    return qRgb(clampByte(c.r), clampByte(c.g), clampByte(c.b));
}

Rgb fromQRgb(QRgb c) {
    return {double(qRed(c)), double(qGreen(c)), double(qBlue(c))};
}

double clamp01(double v) {
    return std::clamp(v, 0.0, 1.0);
}

double smoothstep(double e0, double e1, double x) {
    const double t = clamp01((x - e0) / (e1 - e0));
    return t * t * (3.0 - 2.0 * t);
}

// Small xorshift generator; fixed seeds keep the artwork reproducible.
class XorShift {
public:
    explicit XorShift(std::uint64_t seed) : s_(seed ? seed : 0x9e3779b97f4a7c15ULL) {}

    std::uint64_t next() {
        s_ ^= s_ << 13;
        s_ ^= s_ >> 7;
        s_ ^= s_ << 17;
        return s_;
    }

    // Uniform in [0, 1).
    double uniform() { return double(next() >> 11) * (1.0 / 9007199254740992.0); }

    double range(double lo, double hi) { return lo + (hi - lo) * uniform(); }

private:
    std::uint64_t s_;
};

// Lattice value noise with a hashed grid, quintic fade, range [0, 1].
class ValueNoise {
public:
    explicit ValueNoise(std::uint32_t seed) : seed_(seed) {}

    double at(double x, double y) const {
        const double fx = std::floor(x);
        const double fy = std::floor(y);
        const int ix = static_cast<int>(fx);
        const int iy = static_cast<int>(fy);
        const double tx = fade(x - fx);
        const double ty = fade(y - fy);
        const double a = lattice(ix, iy);
        const double b = lattice(ix + 1, iy);
        const double c = lattice(ix, iy + 1);
        const double d = lattice(ix + 1, iy + 1);
        const double top = a + (b - a) * tx;
        const double bottom = c + (d - c) * tx;
        return top + (bottom - top) * ty;
    }

    // Fractal sum normalised back to roughly [0, 1].
    double fbm(double x, double y, int octaves, double gain = 0.5, double lacunarity = 2.03) const {
        double sum = 0.0;
        double amp = 1.0;
        double norm = 0.0;
        for (int i = 0; i < octaves; ++i) {
            sum += amp * at(x, y);
            norm += amp;
            amp *= gain;
            // Rotate a little between octaves so lattice rows do not line up.
            const double nx = x * 0.8 - y * 0.6;
            const double ny = x * 0.6 + y * 0.8;
            x = nx * lacunarity + 17.31;
            y = ny * lacunarity - 5.77;
        }
        return sum / norm;
    }

private:
    static double fade(double t) { return t * t * t * (t * (t * 6.0 - 15.0) + 10.0); }

    double lattice(int x, int y) const {
        std::uint32_t h = seed_;
        h ^= static_cast<std::uint32_t>(x) * 0x27d4eb2dU;
        h = (h ^ (h >> 15)) * 0x85ebca6bU;
        h ^= static_cast<std::uint32_t>(y) * 0x165667b1U;
        h = (h ^ (h >> 13)) * 0xc2b2ae35U;
        h ^= h >> 16;
        return double(h & 0xffffffU) / double(0xffffff);
    }

    std::uint32_t seed_;
};

// ---------------------------------------------------------------------------------------------
// Bands 1 and 2: plain vertical gradients, identical along x.

void drawVerticalGradient(QImage &img, int y0, int h, const Rgb &top, const Rgb &bottom) {
    for (int y = 0; y < h; ++y) {
        const double t = double(y) / double(h - 1);
        const QRgb c = toQRgb(mix(top, bottom, t));
        auto *line = reinterpret_cast<QRgb *>(img.scanLine(y0 + y));
        std::fill(line, line + kBandW, c);
    }
}

// ---------------------------------------------------------------------------------------------
// Band 3: daylight sky with fair-weather cumulus and faint cirrus veils.

void drawCloudBand(QImage &img, int y0) {
    const ValueNoise puffs(0x51a7c0d1U);
    const ValueNoise warp(0x0ddba11U);
    const ValueNoise ragged(0xb0a7f00dU);
    const ValueNoise billows(0x7e57ab1eU);
    const ValueNoise streaks(0x1c1c1e5U);

    const Rgb skyTop{76.0, 122.0, 199.0};
    const Rgb skyBottom{96.0, 138.0, 194.0};
    const Rgb cloudLit{253.0, 253.0, 255.0};
    const Rgb cloudShade{150.0, 164.0, 192.0};

    // Cumulus banks: wide, fairly flat heaps with a level base, spread along the strip.
    struct Bank {
        double x, y, rx, ry, base, weight;
    };
    std::vector<Bank> bankList;
    {
        XorShift rng(0xc10d5b4e7ULL);
        const int count = 9;
        for (int i = 0; i < count; ++i) {
            Bank b{};
            // Big, near heaps ride high; small distant ones sit lower in the strip.
            const double size = rng.range(0.45, 1.25);
            b.x = (i + 0.5) * kBandW / double(count) + rng.range(-80.0, 80.0);
            b.y = 70.0 + (1.25 - size) * 150.0 + rng.range(-35.0, 25.0);
            b.rx = size * rng.range(172.0, 225.0);
            b.ry = size * rng.range(52.0, 68.0);
            b.base = b.y + b.ry * rng.range(0.45, 0.7);
            b.weight = rng.range(0.9, 1.0);
            bankList.push_back(b);
        }
        // A few small, far-off puffs low over the horizon.
        for (int i = 0; i < 6; ++i) {
            Bank b{};
            const double size = rng.range(0.3, 0.5);
            b.x = rng.range(60.0, kBandW - 60.0);
            b.y = rng.range(175.0, 220.0);
            b.rx = size * rng.range(230.0, 300.0);
            b.ry = size * rng.range(70.0, 90.0);
            b.base = b.y + b.ry * rng.range(0.45, 0.7);
            b.weight = rng.range(0.62, 0.75);
            bankList.push_back(b);
        }
    }

    // Cloud density of a point in band coordinates (pixels); about 0 in clear sky.
    auto density = [&](double x, double y, bool fine) {
        const double jag = ragged.fbm(x / 90.0 + 0.37, y / 60.0 + 2.9, 4, 0.5) - 0.5;
        double profile = 0.0;
        for (const Bank &b : bankList) {
            const double ex = (x - b.x) / b.rx;
            const double ey = (y - b.y) / b.ry;
            if (std::abs(ex) > 1.6 || std::abs(ey) > 2.0)
                continue;
            const double e = std::sqrt(ex * ex + ey * ey) + 0.8 * jag;
            double p = b.weight * smoothstep(1.05, 0.25, e);
            // Level underside, slightly wavy.
            p *= smoothstep(b.base + 8.0, b.base - 10.0, y + 10.0 * jag);
            profile = std::max(profile, p);
        }
        if (profile <= 0.0)
            return 0.0;
        double u = x / 62.0;
        double v = y / 40.0;
        u += 0.5 * (warp.fbm(u * 0.5 + 3.1, v * 0.5 - 1.7, 3) - 0.5);
        v += 0.4 * (warp.fbm(u * 0.5 - 8.4, v * 0.5 + 4.2, 3) - 0.5);
        const double heap = puffs.fbm(u, v, 6, 0.5) - 0.5;
        // Billowy small-scale structure for cauliflower edges.
        const double billow =
            fine ? 1.0 - std::abs(2.0 * billows.fbm(x / 22.0 + 9.0, y / 16.0, 4, 0.5) - 1.0) - 0.5
                 : 0.0;
        return profile * (0.9 + 1.2 * heap + 0.45 * billow) - 0.45 * (1.0 - profile);
    };

    constexpr double kThreshold = 0.30;
    constexpr double kSoft = 0.22;

    for (int y = 0; y < kBandH; ++y) {
        auto *line = reinterpret_cast<QRgb *>(img.scanLine(y0 + y));
        const double ty = double(y) / double(kBandH - 1);
        // Slightly brighter, hazier sky towards the bottom of the strip.
        const Rgb sky = mix(skyTop, skyBottom, std::pow(ty, 1.3));
        for (int x = 0; x < kBandW; ++x) {
            const double fx = x + 0.5;
            const double fy = y + 0.5;
            Rgb c = sky;

            // High, faint cirrus veils.
            const double patch = streaks.fbm(fx / 300.0 + 40.0, fy / 120.0, 3, 0.5);
            const double cirrusN = streaks.fbm(fx / 380.0 + 0.25 * (patch - 0.5) * fy / 30.0,
                                               fy / 28.0 + 0.8 * patch, 5, 0.58);
            const double cirrus = 0.26 * smoothstep(0.56, 0.8, cirrusN) *
                                  smoothstep(0.5, 0.65, patch) * (1.0 - 0.6 * ty);
            c = mix(c, Rgb{236.0, 242.0, 252.0}, cirrus);

            const double d = density(fx, fy, true);
            const double alpha = smoothstep(kThreshold, kThreshold + kSoft, d);
            if (alpha > 0.0) {
                // Sunlight from above right: the more cloud towards the sun, the darker.
                double towardSun = 0.0;
                for (int i = 1; i <= 6; ++i)
                    towardSun += std::max(0.0, density(fx + 2.0 * i, fy - 4.5 * i, false));
                double light = std::exp(-0.32 * towardSun);
                // Thin fringes glow.
                light = clamp01(light + 0.35 * (1.0 - alpha));
                // Sunlit cauliflower texture on the heaps.
                const double lumps = billows.fbm(fx / 11.0 - 3.0, fy / 8.0 + 5.0, 3, 0.5) - 0.5;
                light = clamp01(light + 0.22 * lumps * (0.4 + light));
                const Rgb cloud = mix(cloudShade, cloudLit, light);
                c = mix(c, cloud, std::pow(alpha, 1.2) * 0.98);
            }
            line[x] = toQRgb(c);
        }
    }
}

// ---------------------------------------------------------------------------------------------
// Band 4: night gradient, stars and the rising moon in the upper-left corner.

constexpr double kMoonCx = -24.0;
constexpr double kMoonCy = 686.0; // sheet coordinates
constexpr double kMoonR = 300.0;

Rgb nightColour(int x) {
    const Rgb left{121.0, 118.0, 99.0};
    const Rgb right{50.0, 51.0, 55.0};
    const double t = clamp01(double(x) / 1200.0);
    return mix(left, right, t);
}

struct Crater {
    double nx, ny, nz; // centre direction on the sphere (unit vector)
    double radius;     // angular radius (radians)
    double depth;      // 0..1 contrast
    double fresh;      // 0..1, young craters keep a bright rim and floor
    bool rays;
};

std::vector<Crater> makeCraters() {
    XorShift rng(0xc0ffee1234ULL);
    std::vector<Crater> out;
    auto addAt = [&](double nx, double ny, double radius, double depth, double fresh, bool rays) {
        const double r2 = nx * nx + ny * ny;
        if (r2 >= 0.985)
            return;
        out.push_back({nx, ny, std::sqrt(1.0 - r2), radius, depth, fresh, rays});
    };
    // Landmarks: a young ray crater and two large, worn walled plains.
    addAt(0.36, 0.64, 0.042, 0.9, 1.0, true);
    addAt(0.66, 0.34, 0.085, 0.45, 0.1, false);
    addAt(0.16, 0.36, 0.065, 0.35, 0.0, false);
    // Visible quarter of the disc only (lower right), where the band shows the moon.
    for (int i = 0; i < 14; ++i)
        addAt(rng.range(0.0, 1.0), rng.range(0.15, 1.0), rng.range(0.025, 0.05),
              rng.range(0.35, 0.65), rng.range(0.0, 0.5), false);
    for (int i = 0; i < 110; ++i) {
        const double s = rng.uniform();
        addAt(rng.range(0.0, 1.0), rng.range(0.15, 1.0), 0.005 + 0.014 * s * s, rng.range(0.4, 0.9),
              rng.range(0.0, 1.0), false);
    }
    return out;
}

void drawNightBand(QImage &img) {
    for (int y = kMoonBandY; y < kMoonBandY + kMoonBandH; ++y) {
        auto *line = reinterpret_cast<QRgb *>(img.scanLine(y));
        for (int x = 0; x < kBandW; ++x)
            line[x] = toQRgb(nightColour(x));
    }

    // A sprinkle of faint stars, well away from the moon and above the hour-label strip.
    XorShift rng(0x5eed57a25ULL);
    for (int i = 0; i < 70; ++i) {
        const double sx = rng.range(430.0, 1990.0);
        const double sy = rng.range(760.0, 975.0);
        const double size = rng.range(0.45, 1.15);
        const double bright = rng.range(0.25, 0.9) * rng.range(0.5, 1.0);
        const Rgb tint = mix(Rgb{255.0, 244.0, 220.0}, Rgb{214.0, 228.0, 255.0}, rng.uniform());
        const int r = 3;
        for (int y = int(sy) - r; y <= int(sy) + r; ++y) {
            auto *line = reinterpret_cast<QRgb *>(img.scanLine(y));
            for (int x = int(sx) - r; x <= int(sx) + r; ++x) {
                const double dx = x + 0.5 - sx;
                const double dy = y + 0.5 - sy;
                const double a = bright * std::exp(-(dx * dx + dy * dy) / (2.0 * size * size));
                if (a < 0.004)
                    continue;
                line[x] = toQRgb(mix(fromQRgb(line[x]), tint, clamp01(a)));
            }
        }
    }

    const ValueNoise maria(0x3a71a5U);
    const ValueNoise grain(0x9a1d5U);
    const ValueNoise rayNoise(0x7a75U);
    const std::vector<Crater> craters = makeCraters();

    // Light from the upper left and slightly in front: a nearly full moon.
    const double lx0 = -0.42, ly0 = -0.30, lz0 = 0.86;
    const double ll = std::sqrt(lx0 * lx0 + ly0 * ly0 + lz0 * lz0);
    const double lx = lx0 / ll, ly = ly0 / ll, lz = lz0 / ll;

    const Rgb highland{234.0, 230.0, 213.0};
    const Rgb mare{142.0, 142.0, 136.0};
    const Rgb darkMare{116.0, 118.0, 116.0};

    const int xEnd = int(kMoonCx + kMoonR) + 8;
    const int yEnd = int(kMoonCy + kMoonR) + 8;
    for (int y = kMoonBandY; y < std::min(yEnd, kMoonBandY + kMoonBandH); ++y) {
        auto *line = reinterpret_cast<QRgb *>(img.scanLine(y));
        for (int x = 0; x < xEnd; ++x) {
            const double px = x + 0.5 - kMoonCx;
            const double py = y + 0.5 - kMoonCy;
            const double dist = std::sqrt(px * px + py * py);
            // Thin halo hugging the limb, under the antialiased edge.
            Rgb bg = fromQRgb(line[x]);
            const double e = std::max(0.0, dist - kMoonR);
            if (e < 4.0)
                bg = mix(bg, Rgb{236.0, 232.0, 214.0}, 0.22 * std::exp(-e / 1.6) * (1.0 - e / 4.0));
            if (dist > kMoonR + 0.5) {
                line[x] = toQRgb(bg);
                continue;
            }
            const double cover = clamp01(kMoonR - dist + 0.5);
            // Unit surface normal; pixels on the antialiased rim are pulled just inside.
            const double scale = std::min(1.0, 0.9999 * kMoonR / std::max(dist, 1e-9));
            const double nx = px / kMoonR * scale;
            const double ny = py / kMoonR * scale;
            const double nz = std::sqrt(std::max(0.0, 1.0 - nx * nx - ny * ny));

            // Surface coordinates that squeeze features towards the limb without the
            // singularity of true longitude/latitude (which aliases at the edge).
            const double squeeze = 1.0 / (0.45 + 0.55 * nz * nz);
            const double lon = 0.75 * nx * squeeze;
            const double lat = 0.75 * ny * squeeze;
            const double limbFade = smoothstep(0.0, 0.4, nz);

            // Maria: dark, smooth-edged basins with darker lava patches inside.
            const double wl = maria.fbm(lon * 1.3 - 7.0, lat * 1.3 + 3.0, 3) - 0.5;
            const double m = maria.fbm(lon * 2.1 + 4.0 + 0.8 * wl, lat * 2.4 + 1.5, 5, 0.5);
            const double mareAmount = smoothstep(0.49, 0.58, m) * 0.9;
            Rgb albedo = mix(highland, mare, mareAmount);
            albedo = mix(albedo, darkMare, mareAmount * smoothstep(0.6, 0.7, m));
            const double g = grain.fbm(lon * 26.0, lat * 26.0, 4) - 0.5;
            const double blotch = grain.fbm(lon * 6.0 + 11.0, lat * 6.0, 3) - 0.5;
            albedo = mix(albedo, Rgb{0.0, 0.0, 0.0}, -(0.10 * g + 0.12 * blotch) * limbFade);

            double shade = 0.0;   // darken (positive) or brighten (negative)
            double rayGlow = 0.0; // bright ejecta
            for (const Crater &c : craters) {
                const double cosang = nx * c.nx + ny * c.ny + nz * c.nz;
                const double ang = std::acos(std::clamp(cosang, -1.0, 1.0));
                // Tangent-plane offset from the crater centre, towards this pixel.
                double tx = nx - c.nx * cosang;
                double ty = ny - c.ny * cosang;
                double tz = nz - c.nz * cosang;
                if (c.rays && ang < 1.0) {
                    // Rays: bright streaks of ejecta of uneven length and width.
                    const double az = std::atan2(ty, tx);
                    const double ca = std::cos(az);
                    const double sa = std::sin(az);
                    const double coarse = rayNoise.fbm(ca * 3.0 + 5.0, sa * 3.0 + 5.0, 2);
                    const double fine = rayNoise.fbm(ca * 9.0 - 3.0, sa * 9.0 + 7.0, 3);
                    const double streak = std::pow(clamp01(1.6 * fine - 0.45), 3.0);
                    const double reach = 0.18 + 0.55 * coarse;
                    rayGlow += 0.5 * streak * std::exp(-ang / reach) *
                               smoothstep(c.radius * 0.9, c.radius * 2.0, ang);
                    // Fresh bright floor and the ejecta blanket right around the rim.
                    rayGlow += 0.25 * smoothstep(c.radius, c.radius * 0.6, ang);
                    rayGlow += 0.35 * std::exp(-std::max(0.0, ang - c.radius) / (c.radius * 0.8)) *
                               smoothstep(c.radius * 0.8, c.radius * 1.1, ang);
                }
                const double rel = ang / c.radius;
                if (rel > 1.4)
                    continue;
                const double tl = std::sqrt(tx * tx + ty * ty + tz * tz) + 1e-9;
                tx /= tl;
                ty /= tl;
                tz /= tl;
                // Positive when this spot faces the light.
                const double facing = tx * lx + ty * ly + tz * lz;
                if (rel < 0.9) {
                    // Bowl: the wall on the sun side lies in shadow, the far wall is lit.
                    const double wall = smoothstep(0.3, 0.9, rel);
                    shade += c.depth * (0.06 - 0.10 * c.fresh + 0.34 * wall * facing);
                } else {
                    // Raised rim catches the light on the sun side.
                    const double rim = std::max(0.0, 1.0 - std::abs(rel - 1.0) / 0.4);
                    shade -= c.depth * rim * (0.10 + 0.12 * c.fresh + 0.12 * -facing);
                }
            }

            // Mild limb darkening; a full moon stays bright almost to the edge.
            const double wrap = clamp01((nx * lx + ny * ly + nz * lz + 0.6) / 1.6);
            const double light = 0.60 + 0.36 * wrap + 0.06 * std::sqrt(nz);
            Rgb surf{albedo.r * light, albedo.g * light, albedo.b * light};
            surf = mix(surf, Rgb{0.0, 0.0, 0.0}, std::clamp(shade, -0.6, 0.8));
            surf = mix(surf, Rgb{248.0, 246.0, 236.0}, clamp01(rayGlow) * 0.8);
            line[x] = toQRgb(mix(bg, surf, cover));
        }
    }
}

// ---------------------------------------------------------------------------------------------
// Control-panel stripe with the application's badge.

// The logo's medallion: a day's light curve over water, centred at ic with radius ir.
void drawMedallion(QPainter &p, QPointF ic, double ir) {
    QRadialGradient disc(ic + QPointF(-6.0, -9.0), ir * 1.4);
    disc.setColorAt(0.0, QColor(64, 150, 190));
    disc.setColorAt(1.0, QColor(12, 60, 100));
    p.setPen(QPen(QColor(170, 230, 240, 150), 1.2));
    p.setBrush(disc);
    p.drawEllipse(ic, ir, ir);

    QPainterPath medallion;
    medallion.addEllipse(ic, ir - 0.6, ir - 0.6);
    p.save();
    p.setClipPath(medallion);

    // Water at the bottom of the medallion.
    auto wave = [&](double baseY, double amp, double phase) {
        QPainterPath w;
        const double x0 = ic.x() - ir - 2.0;
        const double x1 = ic.x() + ir + 2.0;
        w.moveTo(x0, baseY);
        for (double x = x0; x <= x1; x += 1.0)
            w.lineTo(x, baseY + amp * std::sin((x - x0) / 7.0 + phase));
        w.lineTo(x1, ic.y() + ir + 2.0);
        w.lineTo(x0, ic.y() + ir + 2.0);
        w.closeSubpath();
        return w;
    };
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(40, 190, 200, 150));
    p.drawPath(wave(ic.y() + 11.0, 1.8, 0.0));
    p.setBrush(QColor(20, 140, 170, 200));
    p.drawPath(wave(ic.y() + 16.0, 1.6, 2.1));

    // The daily dimming curve: dawn ramp, plateau, dusk ramp.
    QPainterPath curve;
    const double baseY = ic.y() + 9.0;
    const double left = ic.x() - ir + 3.0;
    const double right = ic.x() + ir - 3.0;
    const double peakY = ic.y() - 13.0;
    curve.moveTo(left, baseY);
    for (double x = left; x <= right + 0.01; x += 0.5) {
        const double t = (x - left) / (right - left);
        const double bell = std::exp(-std::pow((t - 0.5) / 0.2, 4.0));
        curve.lineTo(x, baseY + (peakY - baseY) * bell);
    }
    QPainterPath under = curve;
    under.lineTo(right, baseY);
    under.closeSubpath();
    QLinearGradient glow(0.0, peakY, 0.0, baseY);
    glow.setColorAt(0.0, QColor(255, 236, 160, 120));
    glow.setColorAt(1.0, QColor(255, 236, 160, 0));
    p.fillPath(under, glow);
    p.setPen(QPen(QColor(255, 246, 214), 2.4, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
    p.setBrush(Qt::NoBrush);
    p.drawPath(curve);

    // Sun at the top of the curve and a small moon low on the right.
    QRadialGradient sun(QPointF(ic.x(), peakY - 5.0), 6.0);
    sun.setColorAt(0.0, QColor(255, 250, 220));
    sun.setColorAt(0.6, QColor(255, 214, 110));
    sun.setColorAt(1.0, QColor(255, 190, 80, 0));
    p.setPen(Qt::NoPen);
    p.setBrush(sun);
    p.drawEllipse(QPointF(ic.x(), peakY - 5.0), 6.0, 6.0);
    p.restore();
}

void drawPanel(QImage &img) {
    for (int y = 0; y < kSheetH; ++y) {
        auto *line = reinterpret_cast<QRgb *>(img.scanLine(y));
        std::fill(line + kPanelX, line + kSheetW, kPanelGrey);
    }

    // The badge stays inside whole 8x8 JPEG blocks (x 2008..2191, y 8..103) so the grey
    // around it decodes cleanly.
    const QRectF box(2008.0, 8.0, 184.0, 96.0);
    QImage badge(int(box.width()), int(box.height()), QImage::Format_ARGB32_Premultiplied);
    badge.fill(Qt::transparent);
    {
        QPainter p(&badge);
        p.setRenderHint(QPainter::Antialiasing, true);
        p.setRenderHint(QPainter::TextAntialiasing, true);

        const QRectF r(1.0, 1.0, badge.width() - 2.0, badge.height() - 2.0);
        const double radius = 15.0;

        // Soft drop shadow.
        QPainterPath shadowPath;
        shadowPath.addRoundedRect(r.adjusted(1.0, 2.0, 0.0, 0.0), radius, radius);
        p.fillPath(shadowPath, QColor(60, 60, 80, 45));

        QPainterPath body;
        body.addRoundedRect(r.adjusted(0.0, 0.0, -1.0, -1.5), radius, radius);
        QLinearGradient bg(r.topLeft(), r.bottomRight());
        bg.setColorAt(0.0, QColor(20, 52, 104));
        bg.setColorAt(0.55, QColor(14, 78, 118));
        bg.setColorAt(1.0, QColor(10, 112, 128));
        p.fillPath(body, bg);

        // Glossy sheen over the upper half.
        p.save();
        p.setClipPath(body);
        QLinearGradient sheen(0.0, r.top(), 0.0, r.top() + r.height() * 0.55);
        sheen.setColorAt(0.0, QColor(255, 255, 255, 46));
        sheen.setColorAt(1.0, QColor(255, 255, 255, 0));
        p.fillRect(QRectF(r.left(), r.top(), r.width(), r.height() * 0.55), sheen);
        p.restore();

        p.setPen(QPen(QColor(160, 220, 235, 110), 1.0));
        p.setBrush(Qt::NoBrush);
        p.drawPath(body);

        drawMedallion(p, QPointF(39.0, 47.0), 27.0);

        // Wordmark.
        QFont font("Liberation Sans");
        font.setBold(true);
        font.setPixelSize(26);
        font.setLetterSpacing(QFont::PercentageSpacing, 102.0);
        const double textLeft = 73.0;
        const double maxWidth = badge.width() - textLeft - 12.0;
        {
            QFontMetricsF fm(font);
            const double w =
                std::max(fm.horizontalAdvance("Kelmaro"), fm.horizontalAdvance("Brantoq"));
            if (w > maxWidth)
                font.setPixelSize(int(std::floor(26.0 * maxWidth / w)));
        }
        p.setFont(font);
        const double line1 = 44.0;
        const double line2 = 73.0;
        p.setPen(QColor(0, 20, 40, 90));
        p.drawText(QPointF(textLeft + 1.0, line1 + 1.5), "Kelmaro");
        p.drawText(QPointF(textLeft + 1.0, line2 + 1.5), "Brantoq");
        p.setPen(QColor(250, 252, 255));
        p.drawText(QPointF(textLeft, line1), "Kelmaro");
        p.setPen(QColor(150, 228, 236));
        p.drawText(QPointF(textLeft, line2), "Brantoq");

        // Thin accent under the wordmark.
        QLinearGradient accent(textLeft, 0.0, textLeft + maxWidth, 0.0);
        accent.setColorAt(0.0, QColor(150, 228, 236, 200));
        accent.setColorAt(1.0, QColor(150, 228, 236, 0));
        p.fillRect(QRectF(textLeft, line2 + 9.5, maxWidth, 1.4), accent);
    }

    QPainter p(&img);
    p.drawImage(box.topLeft(), badge);
}

// ---------------------------------------------------------------------------------------------

bool writeJpeg(const QImage &img, const char *path, int quality) {
    FILE *out = std::fopen(path, "wb");
    if (!out) {
        std::perror(path);
        return false;
    }
    jpeg_compress_struct cinfo{};
    jpeg_error_mgr jerr{};
    cinfo.err = jpeg_std_error(&jerr);
    jpeg_create_compress(&cinfo);
    jpeg_stdio_dest(&cinfo, out);

    cinfo.image_width = static_cast<JDIMENSION>(img.width());
    cinfo.image_height = static_cast<JDIMENSION>(img.height());
    cinfo.input_components = 3;
    cinfo.in_color_space = JCS_RGB;
    jpeg_set_defaults(&cinfo);
    jpeg_set_quality(&cinfo, quality, TRUE);
    // Full-resolution chroma: the sheet has saturated gradients and hard region borders.
    for (int i = 0; i < cinfo.num_components; ++i) {
        cinfo.comp_info[i].h_samp_factor = 1;
        cinfo.comp_info[i].v_samp_factor = 1;
    }
    // Sequential rather than progressive: the same coefficients, so the same pixels, for 1 %
    // more bytes, and the editor decodes it at its start in a third of the time (a progressive
    // picture is decoded in several passes over coefficients kept for the whole picture).
    cinfo.optimize_coding = TRUE;
    jpeg_start_compress(&cinfo, TRUE);

    std::vector<JSAMPLE> row(static_cast<std::size_t>(img.width()) * 3);
    while (cinfo.next_scanline < cinfo.image_height) {
        const auto *src =
            reinterpret_cast<const QRgb *>(img.constScanLine(int(cinfo.next_scanline)));
        for (int x = 0; x < img.width(); ++x) {
            row[std::size_t(x) * 3 + 0] = static_cast<JSAMPLE>(qRed(src[x]));
            row[std::size_t(x) * 3 + 1] = static_cast<JSAMPLE>(qGreen(src[x]));
            row[std::size_t(x) * 3 + 2] = static_cast<JSAMPLE>(qBlue(src[x]));
        }
        JSAMPROW rows[1] = {row.data()};
        jpeg_write_scanlines(&cinfo, rows, 1);
    }
    jpeg_finish_compress(&cinfo);
    jpeg_destroy_compress(&cinfo);
    const bool ok = std::fclose(out) == 0;
    if (!ok)
        std::perror(path);
    return ok;
}

} // namespace

// The application icon: the medallion on the logo's badge colours, drawn on a 256-unit square
// at the given size in pixels.
QImage drawIcon(int size = 256) {
    QImage icon(size, size, QImage::Format_ARGB32_Premultiplied);
    icon.fill(Qt::transparent);
    QPainter p(&icon);
    p.setRenderHint(QPainter::Antialiasing, true);
    p.scale(size / 256.0, size / 256.0);
    QPainterPath body;
    body.addRoundedRect(QRectF(8.0, 8.0, 240.0, 240.0), 48.0, 48.0);
    QLinearGradient bg(8.0, 8.0, 248.0, 248.0);
    bg.setColorAt(0.0, QColor(20, 52, 104));
    bg.setColorAt(0.55, QColor(14, 78, 118));
    bg.setColorAt(1.0, QColor(10, 112, 128));
    p.fillPath(body, bg);
    p.setPen(QPen(QColor(160, 220, 235, 110), 3.0));
    p.drawPath(body);
    p.translate(128.0, 128.0);
    p.scale(3.6, 3.6);
    drawMedallion(p, QPointF(0.0, 0.0), 27.0);
    return icon;
}

// The curve files' icon: a sheet of paper with a turned corner that shows the four bands of a
// day (white, blue, clouds, moon) under a dimming curve; from 32 pixels up the application's
// medallion sits at its foot.
QImage drawDocumentIcon(int size) {
    QImage icon(size, size, QImage::Format_ARGB32_Premultiplied);
    icon.fill(Qt::transparent);
    QPainter p(&icon);
    p.setRenderHint(QPainter::Antialiasing, true);
    p.scale(size / 256.0, size / 256.0);
    const double left = 36.0, right = 220.0, top = 12.0, bottom = 244.0, fold = 52.0;
    QPainterPath page;
    page.moveTo(left, top);
    page.lineTo(right - fold, top);
    page.lineTo(right, top + fold);
    page.lineTo(right, bottom);
    page.lineTo(left, bottom);
    page.closeSubpath();
    QLinearGradient paper(0.0, top, 0.0, bottom);
    paper.setColorAt(0.0, QColor(255, 255, 255));
    paper.setColorAt(1.0, QColor(232, 236, 242));
    p.fillPath(page, paper);
    const double line = std::max(4.0, 256.0 / size); // at least one pixel
    p.setPen(QPen(QColor(120, 130, 150), line));
    p.drawPath(page);
    QPainterPath corner;
    corner.moveTo(right - fold, top);
    corner.lineTo(right - fold, top + fold);
    corner.lineTo(right, top + fold);
    corner.closeSubpath();
    p.setBrush(QColor(210, 216, 226));
    p.drawPath(corner);

    // The day's bands, as the editor's chart shows them.
    const QColor bands[] = {QColor(238, 248, 255), QColor(120, 110, 250), QColor(150, 160, 180),
                            QColor(24, 30, 80)};
    const double chartLeft = left + 16.0, chartRight = right - 16.0;
    const double chartTop = top + fold + 12.0, bandH = 30.0;
    p.setPen(Qt::NoPen);
    for (int b = 0; b < 4; ++b) {
        p.setBrush(bands[b]);
        p.drawRect(QRectF(chartLeft, chartTop + b * bandH, chartRight - chartLeft, bandH));
    }
    // A day's curve over the bands: dawn ramp, plateau, dusk ramp.
    QPainterPath curve;
    const double baseY = chartTop + 4.0 * bandH - 6.0, peakY = chartTop + 6.0;
    for (double x = chartLeft; x <= chartRight + 0.01; x += 1.0) {
        const double t = (x - chartLeft) / (chartRight - chartLeft);
        const double y = baseY + (peakY - baseY) * std::exp(-std::pow((t - 0.5) / 0.22, 4.0));
        if (x == chartLeft)
            curve.moveTo(x, y);
        else
            curve.lineTo(x, y);
    }
    p.setBrush(Qt::NoBrush);
    p.setPen(QPen(QColor(255, 170, 20), std::max(8.0, 1.5 * 256.0 / size), Qt::SolidLine,
                  Qt::RoundCap, Qt::RoundJoin));
    p.drawPath(curve);
    if (size >= 32) {
        p.translate(right - 40.0, bottom - 40.0);
        p.scale(1.1, 1.1);
        drawMedallion(p, QPointF(0.0, 0.0), 27.0);
    }
    return icon;
}

// Writes the icons of every size a desktop asks for into DIR/hicolor/NxN/{apps,mimetypes}.
bool writeIcons(const QString &dir) {
    for (const int size : {16, 22, 24, 32, 48, 64, 128, 256}) {
        const QString folder = QStringLiteral("%1/hicolor/%2x%2/").arg(dir).arg(size);
        for (const auto &[kind, name, picture] :
             {std::tuple{"apps", "dimeditor", drawIcon(size)},
              std::tuple{"mimetypes", "application-x-dimming-curve", drawDocumentIcon(size)}}) {
            const QString path = folder + QLatin1String(kind) + QLatin1Char('/') +
                                 QLatin1String(name) + QStringLiteral(".png");
            if (!QDir().mkpath(QFileInfo(path).path()) || !picture.save(path, "PNG")) {
                std::fprintf(stderr, "cannot write %s\n", qPrintable(path));
                return false;
            }
        }
    }
    return true;
}

int main(int argc, char **argv) {
    const bool icons = argc == 3 && std::strcmp(argv[1], "--icons") == 0;
    if (argc != 2 && !icons && !(argc == 4 && std::strcmp(argv[2], "--icon") == 0)) {
        std::fprintf(stderr, "usage: %s OUT.jpg [--icon ICON.png]\n       %s --icons DIR\n",
                     argc > 0 ? argv[0] : "make_sheet", argc > 0 ? argv[0] : "make_sheet");
        return 2;
    }
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication app(argc, argv);
    if (icons)
        return writeIcons(QString::fromLocal8Bit(argv[2])) ? 0 : 1;

    QImage sheet(kSheetW, kSheetH, QImage::Format_RGB32);
    sheet.fill(Qt::black);

    drawVerticalGradient(sheet, 0, kBandH, {254.0, 254.0, 254.0}, {230.0, 248.0, 255.0});
    drawVerticalGradient(sheet, kBandH, kBandH, {211.0, 226.0, 247.0}, {59.0, 23.0, 253.0});
    drawCloudBand(sheet, 2 * kBandH);
    drawNightBand(sheet);
    drawPanel(sheet);

    if (argc == 4 && !drawIcon().save(QString::fromLocal8Bit(argv[3]), "PNG"))
        return 1;
    return writeJpeg(sheet, argv[1], 94) ? 0 : 1;
}
