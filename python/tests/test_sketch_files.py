"""Sketch files cross between Python and vcdraw in both directions, and bad
files raise instead of crashing."""
import re

import numpy as np
import pytest

import vcdisplay as vc

DUMP_LINE = re.compile(r"^\s*(\d+)\s+(\d+) (\S+)\s+(image|overlay|both)\s+(index \d+|\S+)\s+(.*)$")
LAYER_NAMES = {vc.Layers.eImage: "image", vc.Layers.eOverlay: "overlay", vc.Layers.eBoth: "both"}


def dumped(text):
    """(offset, opcode, name, layer, payload) of every record vcdraw dump lists."""
    rows = [DUMP_LINE.match(line) for line in text.splitlines()]
    return [(int(m[1]), int(m[2]), m[3], m[4], m[6].rstrip()) for m in rows if m]


def listed(sketch):
    return [(r.offset, r.opcode, r.name, LAYER_NAMES[r.layer], r.payload.rstrip()) for r in sketch]


def draw_sample(tablet):
    image, overlay = vc.vcUITablet.eImage, vc.vcUITablet.eOverlay
    tablet.drawLineSeg((10, 10), (120, 40), vc.vcColor.red, image)
    tablet.draw(vc.vcCircle((60, 60), 25), vc.vcGraphicProps(vc.vcColor.yellow, 3), image)
    tablet.drawRect((5, 70), (50, 110), vc.vcColor(0, 128, 255), overlay, True)
    poly = vc.vcSMDGDPoly.rectangle(40, 20, (100, 90))
    tablet.draw(vc.vcGenPoly(poly), vc.vcGraphicProps(vc.vcColor.green, 1), image)
    tablet.draw("vcdisplay", (20, 20), vc.vcColor.white, vc.vcColor.passColor(), vc.vcUIFormat(), overlay)


def test_a_sketch_recorded_in_python_is_read_and_rendered_alike_by_vcdraw(recording, tmp_path, vcdraw):
    draw_sample(recording)
    sketch = vc.vcUISketch(recording.sketch())
    path = tmp_path / "python.vcs"
    sketch.save(str(path))
    assert dumped(vcdraw("dump", path)) == listed(sketch)
    assert [r.name for r in sketch][:2] == ["LineSeg", "Circle"]
    vcdraw("render", path, "-o", tmp_path / "tool.png", "--size", "160x120")
    ours = vc.render(sketch, size=(160, 120))
    theirs = vc.read_png(str(tmp_path / "tool.png"))
    assert ours.shape == theirs.shape == (120, 160, 4)
    assert (ours[..., :3] == theirs[..., :3]).all()
    assert (ours[..., :3] != 0).any()


def test_the_vcdraw_showcase_loads_iterates_and_renders_with_the_same_pixels(tmp_path, vcdraw):
    vcdraw("demo", tmp_path)
    path = tmp_path / "showcase.vcs"
    sketch = vc.vcUISketch.load(str(path))
    assert listed(sketch) == dumped(vcdraw("dump", path))
    assert sum(r.size for r in sketch) == sketch.size()
    for options, kwargs in [((), {}), (("--scale", "0.5", "--layer", "image"), {"scale": 0.5, "layer": vc.Layers.eImage})]:
        vcdraw("render", path, "-o", tmp_path / "tool.png", *options)
        ours = vc.render(sketch, **kwargs)
        assert (ours[..., :3] == vc.read_png(str(tmp_path / "tool.png"))[..., :3]).all(), options
    vc.render_to_file(sketch, str(tmp_path / "ours.svg"))
    assert (tmp_path / "ours.svg").read_text().startswith("<?xml")


def test_records_replayed_one_by_one_draw_what_the_whole_sketch_draws(recording):
    draw_sample(recording)
    sketch = vc.vcUISketch(recording.sketch())
    whole, parts = vc.vcCairoScope((160, 120)), vc.vcCairoScope((160, 120))
    for scope, replay in [(whole, lambda t: t.draw(sketch, (0, 0), vc.Layers.eImage)),
                          (parts, lambda t: [r.draw(t) for r in sketch if r.layer == vc.Layers.eImage])]:
        tablet = vc.vcUITablet(scope)
        tablet.visible(True)
        replay(tablet)
    assert (whole.surfaceArray() == parts.surfaceArray()).all()


def test_record_fields_follow_the_pen(recording):
    props = vc.vcGraphicProps(vc.vcColor.blue, 4, vc.vcGraphicProps.ePenDash)
    recording.draw(vc.vcLineSeg((0, 0), (5, 5)), props, vc.Layers.eOverlay)
    recording.draw(vc.vcLineSeg((1, 1), (2, 2)), props, vc.Layers.eOverlay)
    first, second = list(recording.sketch())
    assert (first.hasProps, second.hasProps) == (True, False)
    assert first.props == second.props == props
    assert first.color == vc.vcColor.blue and first.layer == vc.Layers.eOverlay
    # The first record carries the props record: its marker byte and a 21-byte body.
    assert (len(first.bytes), len(second.bytes)) == (first.size, second.size)
    assert first.size - second.size == 1 + 21 and first.bytes[0] == 40


def cut_and_flipped(data):
    """Every prefix of the first 64 bytes and some later ones, then single bytes flipped to 0xFF."""
    cuts = sorted(set(list(range(min(64, len(data)))) + list(range(64, len(data), 97))))
    yield from (("cut", n, data[:n]) for n in cuts)
    for at in range(0, len(data), max(1, len(data) // 40)):
        yield ("flip", at, data[:at] + bytes([data[at] ^ 0xFF]) + data[at + 1:])


def test_truncated_and_corrupt_sketch_files_raise_library_errors(tmp_path, vcdraw):
    vcdraw("demo", tmp_path)
    data = (tmp_path / "showcase.vcs").read_bytes()
    path = tmp_path / "bad.vcs"
    failures = 0
    for kind, at, bad in cut_and_flipped(data):
        path.write_bytes(bad)
        try:
            sketch = vc.vcUISketch.load(str(path))
        except (vc.vcArchiveError, vc.vcUIError):
            failures += 1
            continue
        # A flip that still loads gives a sketch that parses and replays or raises vcUIError.
        assert kind == "flip", f"a file cut at {at} bytes loaded"
        try:
            list(sketch)
            vc.render(sketch, size=(64, 48))
        except vc.Error:
            pass
    assert failures > 0


@pytest.mark.parametrize("stream", [b"\x03", b"\x03\x00\x02\x00\x00\x00\x00\x00\x01", b"\x28" + b"\x00" * 5,
                                    b"\x7f\x00\x02\x00\x00\x00\x00\x00"])
def test_malformed_raw_streams_raise_invalid_sketch_on_parse_and_replay(stream):
    sketch = vc.vcUISketch()
    sketch.append(stream)
    with pytest.raises(vc.vcUIError, match="InvalidUISketch"):
        list(sketch)
    with pytest.raises(vc.vcUIError, match="InvalidUISketch"):
        vc.render(sketch, size=(8, 8))


def test_a_missing_file_and_trailing_bytes_raise_archive_errors(tmp_path, recording):
    with pytest.raises(vc.vcArchiveError):
        vc.vcUISketch.load(str(tmp_path / "missing.vcs"))
    recording.drawPixel((1, 1), vc.vcColor.red, vc.Layers.eImage)
    data = recording.sketch().toBytes()
    assert vc.vcUISketch.fromBytes(data) == recording.sketch()
    with pytest.raises(vc.vcArchiveError, match="bytes after"):
        vc.vcUISketch.fromBytes(data + b"\0")
