// Starting and stopping `scenario-tool serve` for the browser test and the
// benchmark, and the flags chromium runs with.
import { spawn } from 'node:child_process';

export const browserArgs = [
  '--headless', '--no-sandbox', '--disable-gpu', '--disable-quic', '--no-first-run',
  '--disable-background-networking', '--disable-component-update', '--disable-sync',
];

// Resolves once the server has printed its address; rejects when it ends first
// or says nothing within `timeout` ms (a sanitized build starts slowly).
export function startServe(tool, args, { timeout = 60000, cwd } = {}) {
  return new Promise((resolve, reject) => {
    const child = spawn(tool, ['serve', ...args], { stdio: ['ignore', 'pipe', 'pipe'], cwd });
    let out = '';
    let err = '';
    const timer = setTimeout(() => {
      child.kill('SIGKILL');
      reject(new Error(`scenario-tool serve printed no address within ${timeout} ms\n${err}`));
    }, timeout);
    child.stdout.on('data', (d) => {
      out += d;
      const url = out.match(/http:\/\/\S+\//);
      if (url) {
        clearTimeout(timer);
        resolve({ child, url: url[0], stderr: () => err, exited: new Promise((r) => child.on('exit', (code, signal) => r(signal ? 128 : code))) });
      }
    });
    child.stderr.on('data', (d) => { err += d; });
    child.on('exit', (code) => {
      clearTimeout(timer);
      reject(new Error(`scenario-tool serve ended with status ${code}\n${err}`));
    });
  });
}

// SIGINT, as Ctrl+C sends; the exit status, or 128 when it had to be killed.
export async function stopServe(session, timeout = 15000) {
  session.child.kill('SIGINT');
  const timer = setTimeout(() => session.child.kill('SIGKILL'), timeout);
  const status = await session.exited;
  clearTimeout(timer);
  return status;
}
