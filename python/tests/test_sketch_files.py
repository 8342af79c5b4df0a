"""Sketch files cross between Python and vcdraw in both directions, and bad
files raise instead of crashing."""
import re

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
    tablet.draw(vc.vcGenPoly(vc.vcSMDGDPoly.rectangle(40, 20, (100, 90))), vc.vcGraphicProps(vc.vcColor.green, 1), image)
    tablet.draw("vcdisplay", (20, 20), vc.vcColor.white, vc.vcColor.passColor(), vc.vcUIFormat(), overlay)


def test_sketches_cross_between_python_and_vcdraw_with_the_same_records_and_pixels(recording, tmp_path, vcdraw):
    draw_sample(recording)
    sketch = vc.vcUISketch(recording.sketch())
    path = tmp_path / "python.vcs"
    sketch.save(str(path))
    assert dumped(vcdraw("dump", path)) == listed(sketch)
    vcdraw("render", path, "-o", tmp_path / "tool.png", "--size", "160x120")
    ours = vc.render(sketch, size=(160, 120))
    assert (ours[..., :3] == vc.read_png(str(tmp_path / "tool.png"))[..., :3]).all()
    assert (ours[..., :3] != 0).any()

    vcdraw("demo", tmp_path)
    showcase = vc.vcUISketch.load(str(tmp_path / "showcase.vcs"))
    assert listed(showcase) == dumped(vcdraw("dump", tmp_path / "showcase.vcs"))
    assert sum(r.size for r in showcase) == showcase.size()
    vcdraw("render", tmp_path / "showcase.vcs", "-o", tmp_path / "tool.png", "--scale", "0.5", "--layer", "image")
    ours = vc.render(showcase, scale=0.5, layer=vc.Layers.eImage)
    assert (ours[..., :3] == vc.read_png(str(tmp_path / "tool.png"))[..., :3]).all()
    vc.render_to_file(showcase, str(tmp_path / "ours.svg"))
    assert (tmp_path / "ours.svg").read_text().startswith("<?xml")


def test_records_replay_one_by_one_and_their_fields_follow_the_pen(recording):
    draw_sample(recording)
    sketch = vc.vcUISketch(recording.sketch())
    whole, parts = vc.vcCairoScope((160, 120)), vc.vcCairoScope((160, 120))
    for scope, replay in [(whole, lambda t: t.draw(sketch, (0, 0), vc.Layers.eImage)),
                          (parts, lambda t: [r.draw(t) for r in sketch if r.layer == vc.Layers.eImage])]:
        tablet = vc.vcUITablet(scope)
        tablet.visible(True)
        replay(tablet)
    assert (whole.surfaceArray() == parts.surfaceArray()).all()

    pen = vc.vcUITablet()
    pen.recordOn().set(True)
    props = vc.vcGraphicProps(vc.vcColor.blue, 4, vc.vcGraphicProps.ePenDash)
    pen.draw(vc.vcLineSeg((0, 0), (5, 5)), props, vc.Layers.eOverlay)
    pen.draw(vc.vcLineSeg((1, 1), (2, 2)), props, vc.Layers.eOverlay)
    first, second = list(pen.sketch())
    assert (first.hasProps, second.hasProps) == (True, False)
    assert first.props == second.props == props and first.color == vc.vcColor.blue
    # The first record carries the props record: its marker byte and a 21-byte body.
    assert (len(first.bytes), len(second.bytes)) == (first.size, second.size)
    assert first.size - second.size == 1 + 21 and first.bytes[0] == 40


@pytest.mark.parametrize("stream", [b"\x03", b"\x28" + b"\x00" * 5])
def test_malformed_raw_streams_raise_invalid_sketch_on_parse_and_replay(stream):
    sketch = vc.vcUISketch()
    sketch.append(stream)
    with pytest.raises(vc.vcUIError, match="InvalidUISketch"):
        list(sketch)
    with pytest.raises(vc.vcUIError, match="InvalidUISketch"):
        vc.render(sketch, size=(8, 8))


def test_bad_files_and_trailing_bytes_raise_archive_errors(tmp_path, recording):
    with pytest.raises(vc.vcArchiveError):
        vc.vcUISketch.load(str(tmp_path / "missing.vcs"))
    recording.drawPixel((1, 1), vc.vcColor.red, vc.Layers.eImage)
    data = recording.sketch().toBytes()
    assert vc.vcUISketch.fromBytes(data) == recording.sketch()
    with pytest.raises(vc.vcArchiveError, match="bytes after"):
        vc.vcUISketch.fromBytes(data + b"\0")
    for cut in range(len(data)):
        (tmp_path / "bad.vcs").write_bytes(data[:cut])
        with pytest.raises((vc.vcArchiveError, vc.vcUIError)):
            vc.vcUISketch.load(str(tmp_path / "bad.vcs"))
