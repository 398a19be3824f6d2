// A real client of the lighting SDK protocol (the npm package openrgb-sdk)
// against brontal-driver on the simulator: it lists the devices, is told
// when one is plugged or unplugged, sets modes, sets per-key colours in
// Direct, and finds those colours in the keyboard's frames and the headset's
// reports on the wire.
"use strict"
const assert = require("node:assert/strict")
const net = require("node:net")
const { execFileSync } = require("node:child_process")
const { Client } = require("openrgb-sdk")

const [port, sim, simDir] = process.argv.slice(2)
const keyboardIds = "320f:5100"
const mouseIds = "320f:2003"
const headsetIds = "0c76:1630"

const sleep = (ms) => new Promise((resolve) => setTimeout(resolve, ms))

async function until(what, check, limitMs = 15000) {
  const end = Date.now() + limitMs
  for (;;) {
    const value = await check()
    if (value) return value
    if (Date.now() > end) throw new Error("timed out waiting for " + what)
    await sleep(100)
  }
}

const simctl = (...args) => execFileSync(sim, [args[0], simDir, ...args.slice(1)], { encoding: "utf8" })

// The keyboard's frame packets (command 0x12) as hexadecimal text.
function framesOnWire() {
  return simctl("journal", keyboardIds)
    .split("\n")
    .map((line) => line.trim().split(/\s+/))
    .filter((w) => w[2] === "request" && w[6] === "12")
    .map((w) => w.slice(3).join(" "))
}

// The device shows a colour at full level as value × 255 / 256.
const onWire = (c) => [c.red, c.green, c.blue].map((v) => ((v * 255) >> 8).toString(16).padStart(2, "0")).join(" ")

// A client that breaks the framing is closed; it says nothing about the others.
function sendGarbage() {
  return new Promise((resolve, reject) => {
    const socket = net.connect(+port, "127.0.0.1", () => socket.write("GET / HTTP/1.1\r\n\r\n"))
    socket.setTimeout(5000, () => reject(new Error("a malformed client was not closed")))
    socket.on("close", resolve)
    socket.on("error", () => {})
  })
}

// The client's next DEVICE_LIST_UPDATED, within the limit.
function nextListChange(client, what) {
  return new Promise((resolve, reject) => {
    const timer = setTimeout(() => reject(new Error("no DEVICE_LIST_UPDATED " + what)), 15000)
    client.once("deviceListUpdated", () => {
      clearTimeout(timer)
      resolve()
    })
  })
}

async function main() {
  const client = new Client("brontal-test", +port, "127.0.0.1")
  await client.connect(5000)
  assert.equal(client.protocolVersion, 5)
  assert.equal(await client.getControllerCount(), 0, "nothing is plugged yet")

  // The client hands on a packet without data only while it awaits an
  // answer: a request for a controller that does not exist is never answered.
  client.getControllerData(1000)
  const plugged = nextListChange(client, "on plug")
  simctl("plug", keyboardIds)
  simctl("plug", mouseIds)
  await plugged
  const devices = await until("keyboard and mouse", async () => {
    const all = await client.getAllControllerData()
    return all.length === 2 ? all : null
  })
  const keyboard = devices.find((d) => d.type === 5)
  const mouse = devices.find((d) => d.type === 6)
  assert.ok(keyboard && mouse, "a keyboard and a mouse: " + devices.map((d) => d.type))
  const ledNames = keyboard.leds.map((l) => l.name)
  for (const name of ["Key: A", "Key: Esc", "Key: Left Shift", "Key: Right Shift", "Key: Space"])
    assert.ok(ledNames.includes(name), "keyboard LED " + name)
  assert.equal(new Set(ledNames).size, ledNames.length, "LED names are unique")
  assert.equal(keyboard.zones[0].ledsCount, keyboard.leds.length)
  assert.ok(keyboard.zones[0].matrix, "the keys come on a grid")
  const modeNames = (d) => d.modes.map((m) => m.name)
  assert.ok(modeNames(keyboard).includes("Direct"), "keyboards have Direct")
  assert.ok(modeNames(keyboard).includes("Static"), "keyboard modes: " + modeNames(keyboard))
  assert.ok(!modeNames(mouse).includes("Direct"), "mice keep their on-device modes only")

  // A mode of the device's own, with its colour.
  await client.updateMode(mouse.deviceId, { name: "Breathing", colors: [{ red: 0, green: 255, blue: 0 }] })
  await until("the mouse in Breathing", async () => {
    const now = await client.getControllerData(mouse.deviceId)
    const active = now.modes[now.activeMode]
    return active.name === "Breathing" && active.colors[0].green === 255
  })
  await client.updateMode(keyboard.deviceId, "Static")
  await until("the keyboard in Static", async () => {
    const now = await client.getControllerData(keyboard.deviceId)
    return now.modes[now.activeMode].name === "Static"
  })

  await sendGarbage()

  // Per-key colours in Direct: A apart from the rest.
  await client.updateMode(keyboard.deviceId, "Direct")
  const a = { red: 200, green: 100, blue: 50 }
  const rest = { red: 16, green: 32, blue: 240 }
  const colours = keyboard.leds.map((l) => (l.name === "Key: A" ? a : rest))
  const seen = await until("the colours in the keyboard's frames", async () => {
    client.updateLeds(keyboard.deviceId, colours)
    const frames = framesOnWire().join("\n")
    return frames.includes(onWire(a)) && frames.includes(onWire(rest))
  })
  assert.ok(seen)
  const now = await client.getControllerData(keyboard.deviceId)
  assert.equal(now.modes[now.activeMode].name, "Direct")
  assert.deepEqual(now.colors[ledNames.indexOf("Key: A")], a)

  // The headset's Direct goes out in its light reports, one colour plane at a time.
  simctl("plug", headsetIds)
  const headset = await until("the headset", async () =>
    (await client.getAllControllerData()).find((d) => d.type === 8),
  )
  assert.equal(headset.leds.length, 13)
  await client.updateMode(headset.deviceId, "Direct")
  const red = { red: 101, green: 0, blue: 0 }
  const plane = Array(6).fill(onWire(red).split(" ")[0]).join(" ")
  await until("the colours in the headset's reports", async () => {
    client.updateLeds(headset.deviceId, Array(13).fill(red))
    return simctl("journal", headsetIds)
      .split("\n")
      .some((line) => line.includes(" output ") && line.includes(plane))
  })

  // And when one goes.
  const unplugged = nextListChange(client, "on unplug")
  simctl("unplug", mouseIds)
  await unplugged
  const left = await until("the mouse gone", async () => {
    const all = await client.getAllControllerData()
    return all.length === 2 ? all : null
  })
  assert.deepEqual(left.map((d) => d.type).sort(), [5, 8])

  client.disconnect()
  console.log("openrgb-sdk client: devices listed, told of plug and unplug, modes set, Direct colours on the wire")
}

main().then(
  () => process.exit(0),
  (error) => {
    console.error("FAIL:", error.stack || error)
    process.exit(1)
  },
)
